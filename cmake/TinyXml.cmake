# Provides the target `tinyxml`: TinyXML 2.6.2 from Debian's source package,
# with Debian's patches and the project's own (third_party/patches), for every
# build.
#
# scripts/setup-deps unpacks the source package into the dependency cache, which
# other checkouts share: it is never changed. Configuring copies the sources
# into the build folder, applies any Debian patch the copy still lacks, then the
# project's patches, and compiles the result.
if(DEFINED ENV{KOVRA_DEPS_CACHE})
    set(_kovra_cache "$ENV{KOVRA_DEPS_CACHE}")
else()
    set(_kovra_cache "$ENV{HOME}/.cache/ml_kovra")
endif()
set(TINYXML_SOURCE_DIR "${_kovra_cache}/tinyxml-2.6.2" CACHE PATH "TinyXML 2.6.2 sources (Debian)")
if(NOT EXISTS "${TINYXML_SOURCE_DIR}/tinyxmlparser.cpp")
    message(FATAL_ERROR "TinyXML sources not found in ${TINYXML_SOURCE_DIR}: run scripts/setup-deps")
endif()
find_program(KOVRA_PATCH patch REQUIRED)

set(_tinyxml_files tinystr.h tinystr.cpp tinyxml.h tinyxml.cpp tinyxmlerror.cpp tinyxmlparser.cpp)
file(GLOB KOVRA_TINYXML_PATCHES "${PROJECT_SOURCE_DIR}/third_party/patches/tinyxml-*.patch")
list(SORT KOVRA_TINYXML_PATCHES)

# Runs `patch -p1 ARGS... -i FILE` in DIR; RESULT is true when it succeeded.
function(_kovra_patch dir file result)
    execute_process(COMMAND ${KOVRA_PATCH} -p1 -s -f ${ARGN} -i "${file}"
        WORKING_DIRECTORY "${dir}" RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
    if(status EQUAL 0)
        set(${result} TRUE PARENT_SCOPE)
    else()
        set(${result} FALSE PARENT_SCOPE)
    endif()
endfunction()

# The patched sources are prepared in a scratch folder, then copied where the
# build compiles them only when they differ, so reconfiguring rebuilds nothing.
set(_staging "${CMAKE_BINARY_DIR}/tinyxml-staging")
set(KOVRA_TINYXML_DIR "${CMAKE_BINARY_DIR}/tinyxml-2.6.2")
file(REMOVE_RECURSE "${_staging}")
file(MAKE_DIRECTORY "${_staging}" "${KOVRA_TINYXML_DIR}")
# Debian's patches also touch the test program.
foreach(name IN LISTS _tinyxml_files ITEMS xmltest.cpp)
    file(COPY_FILE "${TINYXML_SOURCE_DIR}/${name}" "${_staging}/${name}")
endforeach()

set(_debian_patches "${TINYXML_SOURCE_DIR}/debian/patches")
file(STRINGS "${_debian_patches}/series" _series REGEX "^[^#]")
# All but one: enforce-use-stl.patch makes TinyXML's header force its
# standard-library option on. With that option every node carries virtual
# stream readers and writers, which pull the C++ runtime's streams and locales
# (most of a megabyte) into the DLL, though the plug-in only parses text in
# memory. Every build compiles TinyXML without it, the same way on each side.
foreach(entry IN LISTS _series)
    string(STRIP "${entry}" entry)
    set(debian_patch "${_debian_patches}/${entry}")
    _kovra_patch("${_staging}" "${debian_patch}" applied -R --dry-run)
    if(entry STREQUAL "enforce-use-stl.patch")
        if(applied)
            _kovra_patch("${_staging}" "${debian_patch}" applied -R)
        endif()
    elseif(NOT applied)
        _kovra_patch("${_staging}" "${debian_patch}" applied -N)
        if(NOT applied)
            message(FATAL_ERROR "Debian's ${entry} does not apply to ${TINYXML_SOURCE_DIR}")
        endif()
        message(STATUS "TinyXML: applied Debian's ${entry} (missing in the unpacked sources)")
    endif()
endforeach()

foreach(project_patch IN LISTS KOVRA_TINYXML_PATCHES)
    _kovra_patch("${_staging}" "${project_patch}" applied -N)
    if(NOT applied)
        message(FATAL_ERROR "${project_patch} does not apply to TinyXML 2.6.2")
    endif()
endforeach()
foreach(name IN LISTS _tinyxml_files)
    file(COPY_FILE "${_staging}/${name}" "${KOVRA_TINYXML_DIR}/${name}" ONLY_IF_DIFFERENT)
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${KOVRA_TINYXML_PATCHES} "${_debian_patches}/series")

set(KOVRA_TINYXML_SOURCES
    ${KOVRA_TINYXML_DIR}/tinystr.cpp
    ${KOVRA_TINYXML_DIR}/tinyxml.cpp
    ${KOVRA_TINYXML_DIR}/tinyxmlerror.cpp
    ${KOVRA_TINYXML_DIR}/tinyxmlparser.cpp)
add_library(tinyxml STATIC ${KOVRA_TINYXML_SOURCES})
target_include_directories(tinyxml SYSTEM BEFORE PUBLIC ${KOVRA_TINYXML_DIR})
target_compile_options(tinyxml PRIVATE -w)
# TinyXML formats and scans numbers only when it prints a document or reads a
# number from an attribute, never while it parses. Its stdio calls go to the
# system's C runtime instead of MinGW's own printf and scanf with their
# floating-point conversions, which would otherwise be linked into the DLL.
target_compile_definitions(tinyxml PRIVATE __USE_MINGW_ANSI_STDIO=0)
