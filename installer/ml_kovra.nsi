; The installer of ml_kovra: puts ml_kovra.dll into the Plugins folder of a
; Winamp installation, with an uninstaller beside it and an entry in Windows'
; list of programs.
;
; The build (installer/CMakeLists.txt) defines on makensis's command line:
;   VERSION       the project's version, 1.2.3
;   PUBLISHER     the copyright holder named in LICENSE
;   COPYRIGHT     LICENSE's copyright line
;   DLL           the ml_kovra.dll to install
;   LICENSE_FILE  the licence shown before the folder is chosen (CR LF lines)
;   OUTFILE       the installer to write

Unicode true
SetCompressor /SOLID lzma
; Program Files and the machine-wide uninstall entries need an administrator.
RequestExecutionLevel admin
ManifestDPIAware true
XPStyle on

!define PRODUCT "ml_kovra"
!define UNINSTALLER "ml_kovra-uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ml_kovra"
; The host: its program, its main window's class and its own uninstall entry,
; whose UninstallString names a program in the host's folder.
!define HOST_PROGRAM "winamp.exe"
!define HOST_WINDOW_CLASS "Winamp v1.x"
!define HOST_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Winamp"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

; The folder proposed: the host's, read from its uninstall entry (quotes and
; the program's name are taken off), else the usual one.
InstallDir "$PROGRAMFILES\Winamp"
InstallDirRegKey HKLM "${HOST_UNINSTALL_KEY}" "UninstallString"

LicenseData "${LICENSE_FILE}"
LicenseText "ml_kovra is free software under the MIT licence:" "Next >"
DirText "Setup will put ml_kovra into the Plugins folder of Winamp. Choose the folder Winamp is installed in: the one that holds winamp.exe." "Winamp folder"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"

Page license
Page directory "" "" CheckHostFolder
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; A DLL that the host has loaded cannot be replaced nor deleted, so the host's
; main window must be gone first. Aborts when the user (or silent mode) gives up.
!macro WAIT_FOR_HOST_TO_CLOSE prefix
Function ${prefix}WaitForHostToClose
  look:
    FindWindow $0 "${HOST_WINDOW_CLASS}"
    IntCmp $0 0 closed
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Winamp is running. Please close it first: a plug-in that Winamp has loaded cannot be changed.$\n$\nClose Winamp, then choose Retry." \
      /SD IDCANCEL IDRETRY look
    Abort "Winamp is still running: nothing was changed."
  closed:
FunctionEnd
!macroend
!insertmacro WAIT_FOR_HOST_TO_CLOSE ""
!insertmacro WAIT_FOR_HOST_TO_CLOSE "un."

; Leaving the folder page: only a folder that holds the host's program will do
; (Abort keeps the user on the page). Called again by the section, since a
; silent install shows no pages; there Abort ends the install.
Function CheckHostFolder
  IfFileExists "$INSTDIR\${HOST_PROGRAM}" found
    MessageBox MB_OK|MB_ICONSTOP \
      "$INSTDIR does not hold winamp.exe.$\n$\nPlease choose the folder Winamp is installed in." \
      /SD IDOK
    Abort "Not a Winamp folder: $INSTDIR"
  found:
FunctionEnd

Section "ml_kovra" PluginSection
  Call CheckHostFolder
  Call WaitForHostToClose
  ; An older ml_kovra.dll is replaced: an upgrade is an install over it.
  SetOutPath "$INSTDIR\Plugins"
  File "/oname=ml_kovra.dll" "${DLL}"
  WriteUninstaller "$INSTDIR\Plugins\${UNINSTALLER}"

  SectionGetSize ${PluginSection} $1
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "ml_kovra: Olympus m:robe MR-100 in the Winamp media library"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; $INSTDIR is the Plugins folder, where the uninstaller lies. Only the two
; files the installer wrote go: other plug-ins, the folder itself and the
; host's settings file (where the plug-in's sort order and search stay for a
; reinstall) are left as they are.
Section "Uninstall"
  Call un.WaitForHostToClose
  ClearErrors
  Delete "$INSTDIR\ml_kovra.dll"
  IfErrors 0 removed
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\ml_kovra.dll could not be removed." /SD IDOK
    Abort "ml_kovra.dll could not be removed."
  removed:
  Delete "$INSTDIR\${UNINSTALLER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
