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

# The Windows build takes TinyXML without its standard-library option. With
# it, every node carries virtual stream readers and writers, so the C++
# runtime's streams and locales (most of a megabyte) end up in the DLL even
# though the plug-in only parses text in memory. Debian's header forces the
# option on (its patch enforce-use-stl.patch), so the build compiles a copy
# of the sources whose header has that one patch taken back out.
set(_tinyxml_copy "${CMAKE_BINARY_DIR}/tinyxml-without-stl")
foreach(_file tinystr.cpp tinystr.h tinyxml.cpp tinyxmlerror.cpp tinyxmlparser.cpp)
    configure_file("${TINYXML_SOURCE_DIR}/${_file}" "${_tinyxml_copy}/${_file}" COPYONLY)
endforeach()
file(READ "${TINYXML_SOURCE_DIR}/tinyxml.h" _tinyxml_header)
set(_tinyxml_forced_stl "#ifndef TIXML_USE_STL\n\t#define TIXML_USE_STL\n#endif\n")
string(FIND "${_tinyxml_header}" "${_tinyxml_forced_stl}" _tinyxml_forced_at)
if(_tinyxml_forced_at EQUAL -1)
    message(FATAL_ERROR "${TINYXML_SOURCE_DIR}/tinyxml.h no longer forces TIXML_USE_STL as expected")
endif()
string(REPLACE "${_tinyxml_forced_stl}" "" _tinyxml_header "${_tinyxml_header}")
file(WRITE "${_tinyxml_copy}/tinyxml.h.new" "${_tinyxml_header}")
configure_file("${_tinyxml_copy}/tinyxml.h.new" "${_tinyxml_copy}/tinyxml.h" COPYONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${TINYXML_SOURCE_DIR}/tinyxml.h")

add_library(tinyxml STATIC
    ${_tinyxml_copy}/tinystr.cpp
    ${_tinyxml_copy}/tinyxml.cpp
    ${_tinyxml_copy}/tinyxmlerror.cpp
    ${_tinyxml_copy}/tinyxmlparser.cpp)
target_include_directories(tinyxml SYSTEM PUBLIC ${_tinyxml_copy})
target_compile_options(tinyxml PRIVATE -w)
# TinyXML formats and scans numbers only when it prints a document or reads a
# number from an attribute, never while it parses. Its stdio calls go to the
# system's C runtime instead of MinGW's own printf and scanf with their
# floating-point conversions, which would otherwise be linked into the DLL.
target_compile_definitions(tinyxml PRIVATE __USE_MINGW_ANSI_STDIO=0)
