# Writes the release's notice file for TinyXML: what it is, where the build
# took it from, its copyright and zlib licence as Debian's source package states
# them, and the project's changes to it in full (the licence asks that altered
# sources be plainly marked). CR LF lines, for Windows users.
#
#   cmake -DTINYXML_DIR=... -DPATCH_DIR=... -DOUTPUT=... -P write_notice.cmake
#
# TINYXML_DIR is the unpacked source package, PATCH_DIR the project's patches
# (third_party/patches, applied in name order as cmake/TinyXml.cmake does).
foreach(input TINYXML_DIR PATCH_DIR OUTPUT)
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

# The licence paragraph: its lines are indented by one space, " ." is a blank
# line.
if(NOT copyright MATCHES "\nLicense: ZLIB\n(( [^\n]*\n?)+)")
    message(FATAL_ERROR "write_notice.cmake: no zlib licence text in ${TINYXML_DIR}/debian/copyright")
endif()
set(licence "${CMAKE_MATCH_1}")
string(REGEX REPLACE "(^|\n) \\.(\n|$)" "\\1\\2" licence "${licence}")
string(REGEX REPLACE "(^|\n) " "\\1" licence "${licence}")
string(STRIP "${licence}" licence)

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

ml_kovra.dll and kovra-catalogue.exe contain TinyXML 2.6.2, an XML parser
written by Lee Thomason and Yves Berquin, with tinystr by Tyge Lovset.

This copy of TinyXML is not the original. It is built from Debian's source
package tinyxml ${debian_version} with these of Debian's patches:
  ${debian_patches}
and altered by the ml_kovra project with the patches given in full at the
end of this file.


TinyXML's copyright and licence (zlib)
--------------------------------------

${holders}

${licence}


The ml_kovra project's changes to TinyXML
-----------------------------------------
${changes}")

string(REGEX REPLACE "\r?\n" "\r\n" notice "${notice}")
file(WRITE "${OUTPUT}" "${notice}")
