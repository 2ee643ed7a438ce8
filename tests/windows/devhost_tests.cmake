# The stand-in host's own test and fake plug-in; included from
# tests/windows/CMakeLists.txt.
add_library(kovra_fake_plugin SHARED ${CMAKE_CURRENT_LIST_DIR}/fake_plugin/fake_plugin.cpp)
target_include_directories(kovra_fake_plugin PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(kovra_fake_plugin PRIVATE user32 kernel32)
set_target_properties(kovra_fake_plugin PROPERTIES PREFIX "")

add_executable(kovra_devhost_tests ${PROJECT_SOURCE_DIR}/tests/windows/stand_in_host_test.cpp)
target_link_libraries(kovra_devhost_tests PRIVATE kovra_devhost kovra_test_support gtest_main)
add_dependencies(kovra_devhost_tests kovra_fake_plugin)

# gtest_main and KOVRA_WINE_ENVIRONMENT come from tests/ and tests/windows/.
add_test(NAME devhost COMMAND wine $<TARGET_FILE:kovra_devhost_tests>)
set_tests_properties(devhost PROPERTIES TIMEOUT 120
    ENVIRONMENT "${KOVRA_WINE_ENVIRONMENT};KOVRA_FAKE_PLUGIN=$<TARGET_FILE:kovra_fake_plugin>")
