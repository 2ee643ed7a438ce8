# Writes the release's notice file: what of others the binaries contain, with
# each part's copyright and licence. For TinyXML: where the build took it from,
# its copyright and zlib licence as Debian's source package states them, and
# the project's changes to it in full (the licence asks that altered sources be
# plainly marked). For the parts of the MinGW-w64 runtime that the link takes
# in (its start-up code and C additions, gdtoa, printf, winpthreads): their
# copyright and licences as Debian's copyright file of the toolchain's package
# states them. GCC's runtime libraries ask for no notice; the file says they
# are there. CR LF lines, for Windows users.
#
#   cmake -DTINYXML_DIR=... -DPATCH_DIR=... -DMINGW_COPYRIGHT=... -DOUTPUT=...
#       -P write_notice.cmake
#
# TINYXML_DIR is the unpacked source package, PATCH_DIR the project's patches
# (third_party/patches, applied in name order as cmake/TinyXml.cmake does),
# MINGW_COPYRIGHT the copyright file of Debian's mingw-w64-i686-dev.
foreach(input TINYXML_DIR PATCH_DIR MINGW_COPYRIGHT OUTPUT)
    if(NOT DEFINED ${input})
        message(FATAL_ERROR "write_notice.cmake: ${input} is not set")
    endif()
endforeach()

file(READ "${TINYXML_DIR}/debian/copyright" copyright)
file(READ "${TINYXML_DIR}/debian/changelog" changelog)
file(STRINGS "${TINYXML_DIR}/debian/patches/series" series REGEX "^[^#]")
file(GLOB patches "${PATCH_DIR}/tinyxml-*.patch")
list(SORT patches)

string(REGEX MATCH "^[a-z0-9.+-]+ \\(([^)]+)\\)" _ "${changelog}")
set(debian_version "${CMAKE_MATCH_1}")

# The copyright holders of every file of TinyXML (not of Debian's packaging).
set(holders)
string(REGEX MATCHALL "Files: [^\n]*\nCopyright: [^\n]*(\n [^\n]*)*" stanzas "${copyright}")
foreach(stanza IN LISTS stanzas)
    if(stanza MATCHES "^Files: debian/")
        continue()
    endif()
    string(REGEX REPLACE "^Files: [^\n]*\nCopyright: " "" stanza "${stanza}")
    string(REPLACE "\n" ";" lines "${stanza}")
    foreach(line IN LISTS lines)
        string(STRIP "${line}" line)
        list(APPEND holders "Copyright (c) ${line}")
    endforeach()
endforeach()
list(REMOVE_DUPLICATES holders)
list(JOIN holders "\n" holders)

# A licence paragraph of a Debian copyright file as plain text: its lines are
# indented by one space, " ." is a blank line.
# Plain replacements: a regular expression's "^" would also match after each
# replacement and take every space of an indented line.
function(plain_licence_text out paragraph)
    string(REPLACE "\n .\n" "\n\n" text "\n${paragraph}\n")
    string(REPLACE "\n " "\n" text "${text}")
    string(STRIP "${text}" text)
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

if(NOT copyright MATCHES "\nLicense: ZLIB\n(( [^\n]*\n?)+)")
    message(FATAL_ERROR "write_notice.cmake: no zlib licence text in ${TINYXML_DIR}/debian/copyright")
endif()
plain_licence_text(licence "${CMAKE_MATCH_1}")

# The notice of the stanza of the copyright file TEXT whose Files field starts
# with FILES: its "Copyright (c)" lines, a blank line and its licence (the
# stanza's own text, else the file's paragraph for that licence's name).
function(debian_notice out text files)
    string(FIND "${text}" "\nFiles: ${files}\n" start)
    if(start EQUAL -1)
        message(FATAL_ERROR "write_notice.cmake: no \"Files: ${files}\" in ${MINGW_COPYRIGHT}")
    endif()
    string(SUBSTRING "${text}" ${start} -1 stanza)
    string(FIND "${stanza}" "\n\n" end)
    string(SUBSTRING "${stanza}" 0 ${end} stanza)
    if(NOT stanza MATCHES "\nCopyright: ([^\n]*(\n[ \t][^\n]*)*)\nLicense: ([^\n]*)(\n.*)?$")
        message(FATAL_ERROR "write_notice.cmake: no copyright and licence for ${files}")
    endif()
    set(name "${CMAKE_MATCH_3}")
    set(paragraph "${CMAKE_MATCH_4}")
    string(REGEX REPLACE "\n[ \t]+" "\nCopyright (c) " holders "Copyright (c) ${CMAKE_MATCH_1}")
    if(paragraph STREQUAL "")
        string(FIND "${text}" "\n\nLicense: ${name}\n" start)
        if(start EQUAL -1)
            message(FATAL_ERROR "write_notice.cmake: no licence ${name} in ${MINGW_COPYRIGHT}")
        endif()
        string(LENGTH "\n\nLicense: ${name}" skip)
        math(EXPR start "${start} + ${skip}")
        string(SUBSTRING "${text}" ${start} -1 paragraph)
        string(FIND "${paragraph}" "\n\n" end)
        string(SUBSTRING "${paragraph}" 0 ${end} paragraph)
    endif()
    plain_licence_text(licence "${paragraph}")
    set(${out} "${holders}\n\n${licence}" PARENT_SCOPE)
endfunction()

file(READ "${MINGW_COPYRIGHT}" mingw)
debian_notice(mingw_runtime "${mingw}" "*")
debian_notice(winpthreads "${mingw}" "mingw-w64-libraries/winpthreads/*")
debian_notice(winpthreads_header "${mingw}" "mingw-w64-libraries/winpthreads/include/pthread.h")
debian_notice(gdtoa "${mingw}" "mingw-w64-crt/gdtoa/*")
debian_notice(gdtoa_gay "${mingw}" "mingw-w64-crt/gdtoa/qnan.c")
debian_notice(printf "${mingw}" "mingw-w64-crt/misc/basename.c")

# cmake/TinyXml.cmake applies every patch of Debian's series but this one,
# which would turn on TinyXML's stream option.
list(REMOVE_ITEM series "enforce-use-stl.patch")
list(JOIN series "\n  " debian_patches)

set(changes "")
foreach(patch IN LISTS patches)
    get_filename_component(name "${patch}" NAME)
    file(READ "${patch}" text)
    string(APPEND changes "\n==== ${name} ====\n\n${text}")
endforeach()

set(notice "Third-party software in ml_kovra
================================

ml_kovra.dll and kovra-catalogue.exe contain, besides the project's own code:

- TinyXML 2.6.2, an XML parser written by Lee Thomason and Yves Berquin,
  with tinystr by Tyge Lovset (zlib licence), altered by the project;
- parts of the MinGW-w64 runtime, which every program built with MinGW-w64
  carries: its start-up code and additions to the C library (ZPL 2.1),
  among them the number conversions of gdtoa (Lucent's and David M. Gay's
  licences) and Keith Marshall's printf, and its thread library winpthreads
  (MIT licence);
- parts of GCC's runtime libraries, libgcc and libstdc++ (GPL 3 with the
  GCC Runtime Library Exception).

Each part's copyright and licence follow. Those of the MinGW-w64 runtime are
given as Debian's copyright file of its package mingw-w64-i686-dev, from
which the binaries are built, states them.


TinyXML
-------

This copy of TinyXML is not the original. It is built from Debian's source
package tinyxml ${debian_version} with these of Debian's patches:
  ${debian_patches}
and altered by the ml_kovra project with the patches given in full at the
end of this file.


TinyXML's copyright and licence (zlib)
--------------------------------------

${holders}

${licence}


MinGW-w64 runtime: copyright and licence (ZPL 2.1)
--------------------------------------------------

${mingw_runtime}


MinGW-w64 winpthreads: copyright and licence (MIT)
--------------------------------------------------

${winpthreads}


winpthreads' pthread.h: copyright and licence (BSD)
---------------------------------------------------

${winpthreads_header}


gdtoa in the MinGW-w64 runtime: copyright and licences
------------------------------------------------------

${gdtoa}

${gdtoa_gay}


printf of the MinGW-w64 runtime: copyright and licence
------------------------------------------------------

${printf}


GCC's runtime libraries
-----------------------

libgcc and libstdc++ are under the GNU General Public License, version 3,
with the GCC Runtime Library Exception, version 3.1. The exception lets a
program compiled with GCC contain them under the program's own terms, and
asks for no notice: this part only says that they are there.


The ml_kovra project's changes to TinyXML
-----------------------------------------
${changes}")

string(REGEX REPLACE "\r?\n" "\r\n" notice "${notice}")
file(WRITE "${OUTPUT}" "${notice}")
