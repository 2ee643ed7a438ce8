# Provides the target `tinyxml`: Debian's library natively, and for Windows the
# same version compiled from Debian's source package, which scripts/setup-deps
# unpacks into the dependency cache (never into the source tree).
if(NOT CMAKE_CROSSCOMPILING)
    find_path(TINYXML_INCLUDE_DIR tinyxml.h REQUIRED)
    find_library(TINYXML_LIBRARY tinyxml REQUIRED)
    add_library(tinyxml UNKNOWN IMPORTED)
    set_target_properties(tinyxml PROPERTIES
        IMPORTED_LOCATION "${TINYXML_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${TINYXML_INCLUDE_DIR}"
        INTERFACE_COMPILE_DEFINITIONS TIXML_USE_STL)
    return()
endif()

if(DEFINED ENV{KOVRA_DEPS_CACHE})
    set(_kovra_cache "$ENV{KOVRA_DEPS_CACHE}")
else()
    set(_kovra_cache "$ENV{HOME}/.cache/ml_kovra")
endif()
set(TINYXML_SOURCE_DIR "${_kovra_cache}/tinyxml-2.6.2" CACHE PATH "TinyXML 2.6.2 sources (Debian)")
if(NOT EXISTS "${TINYXML_SOURCE_DIR}/tinyxmlparser.cpp")
    message(FATAL_ERROR "TinyXML sources not found in ${TINYXML_SOURCE_DIR}: run scripts/setup-deps")
endif()

add_library(tinyxml STATIC
    ${TINYXML_SOURCE_DIR}/tinystr.cpp
    ${TINYXML_SOURCE_DIR}/tinyxml.cpp
    ${TINYXML_SOURCE_DIR}/tinyxmlerror.cpp
    ${TINYXML_SOURCE_DIR}/tinyxmlparser.cpp)
target_include_directories(tinyxml SYSTEM PUBLIC ${TINYXML_SOURCE_DIR})
target_compile_definitions(tinyxml PUBLIC TIXML_USE_STL)
target_compile_options(tinyxml PRIVATE -w)
