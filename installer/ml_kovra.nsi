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
; The installed DLL gets the time it was installed: the installer carries no
; file times, so the same commit builds the same installer.
SetDateSave off

!include FileFunc.nsh
!include WordFunc.nsh

!define PRODUCT "ml_kovra"
!define UNINSTALLER "ml_kovra-uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ml_kovra"
!define PLUGIN_FILE "ml_kovra.dll"
; Installing over a newer version takes this switch in a silent install.
!define ALLOW_DOWNGRADE "/ALLOWDOWNGRADE"
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

; The one uninstall entry names the copy installed last; this is how the
; entry names the uninstaller of the copy in $INSTDIR.
!define OWN_UNINSTALL_STRING '"$INSTDIR\Plugins\${UNINSTALLER}"'

; Sets $R0 to 1 when the entry's UninstallString names the uninstaller $R1,
; also when one of them is written with short names or in other case, else to 0.
!macro ENTRY_NAMES_UNINSTALLER prefix
Function ${prefix}EntryNamesUninstaller
  StrCpy $R0 0
  ReadRegStr $R2 HKLM "${UNINSTALL_KEY}" "UninstallString"
  StrCmp $R2 '"$R1"' same
  StrCpy $R2 $R2 "" 1
  StrCpy $R2 $R2 -1
  GetFullPathName /SHORT $R2 $R2
  StrCmp $R2 "" done
  GetFullPathName /SHORT $R3 $R1
  StrCmp $R2 $R3 0 done
  same:
    StrCpy $R0 1
  done:
FunctionEnd
!macroend
!insertmacro ENTRY_NAMES_UNINSTALLER ""
!insertmacro ENTRY_NAMES_UNINSTALLER "un."

; The version installed in this folder, into $R0: the entry's when the entry
; names this folder, else the DLL's own file version; empty when neither is there.
Function InstalledVersion
  StrCpy $R1 "$INSTDIR\Plugins\${UNINSTALLER}"
  Call EntryNamesUninstaller
  StrCmp $R0 1 0 from_file
    ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
    StrCmp $R0 "" 0 done
  from_file:
    StrCpy $R0 ""
    ClearErrors
    GetDLLVersion "$INSTDIR\Plugins\${PLUGIN_FILE}" $R1 $R2
    IfErrors done
    IntOp $R3 $R1 >> 16
    IntOp $R1 $R1 & 0xFFFF
    IntOp $R2 $R2 >> 16
    StrCpy $R0 "$R3.$R1.$R2"
  done:
FunctionEnd

; An older installer run by mistake must not replace a newer DLL: the user
; says so, or a silent install names the switch.
Function RefuseNewerVersion
  Call InstalledVersion
  StrCmp $R0 "" done
  ${VersionCompare} $R0 "${VERSION}" $R1
  StrCmp $R1 1 0 done
  ${GetParameters} $R2
  ClearErrors
  ${GetOptions} $R2 "${ALLOW_DOWNGRADE}" $R3
  IfErrors 0 done
  MessageBox MB_YESNO|MB_ICONQUESTION \
    "A newer ml_kovra, version $R0, is installed in $INSTDIR\Plugins.$\n$\nReplace it with the older version ${VERSION}?" \
    /SD IDNO IDYES done
  Abort "A newer ml_kovra ($R0) is installed: nothing was changed."
  done:
FunctionEnd

; The entry names another host folder's copy whose uninstaller is still there:
; from now on the entry names this one, and the other copy is removed with its
; own uninstaller (which leaves the entry alone).
Function SayWhenEntryNamesAnotherFolder
  StrCpy $R1 "$INSTDIR\Plugins\${UNINSTALLER}"
  Call EntryNamesUninstaller
  StrCmp $R0 1 done
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "UninstallString"
  StrCmp $R0 "" done
  StrCpy $R1 $R0 "" 1
  StrCpy $R1 $R1 -1
  IfFileExists $R1 0 done
  DetailPrint "ml_kovra is also installed with $R1; Windows' list of programs names $INSTDIR from now on."
  MessageBox MB_OKCANCEL|MB_ICONINFORMATION \
    "ml_kovra is also installed in another Winamp folder, with the uninstaller$\n$R1$\n$\nWindows' list of programs will name the copy in $INSTDIR from now on; the other copy stays, and its own uninstaller removes it." \
    /SD IDOK IDOK done
  Abort "Cancelled: nothing was changed."
  done:
FunctionEnd

; Another process may have the DLL open or loaded with no host window to find:
; the host in another user's session or still unloading its plug-ins, a virus
; scanner. Opening it for writing (appending nothing) fails then, and the
; install stops before it writes anything.
Function WaitForPluginFileToBeFree
  check:
    IfFileExists "$INSTDIR\Plugins\${PLUGIN_FILE}" 0 free
    ClearErrors
    FileOpen $R0 "$INSTDIR\Plugins\${PLUGIN_FILE}" a
    IfErrors held
    FileClose $R0
    Goto free
  held:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "$INSTDIR\Plugins\${PLUGIN_FILE} is in use, so it cannot be replaced. Most likely Winamp still has it loaded (closing, or running for another user); else another program has the file open, such as a virus scanner.$\n$\nClose that program, then choose Retry." \
      /SD IDCANCEL IDRETRY check
    Abort "${PLUGIN_FILE} is in use: nothing was changed."
  free:
FunctionEnd

; The new DLL is written beside the old under another name and then takes the
; old one's name; the old one goes last, and only when it can be deleted (no
; process holds it). A step that fails puts the old DLL back and ends the
; install, so it never reports a DLL it did not put in place.
!define PLUGIN_PATH "$INSTDIR\Plugins\${PLUGIN_FILE}"
!define NEW_PLUGIN_PATH "$INSTDIR\Plugins\${PLUGIN_FILE}.new"
!define OLD_PLUGIN_PATH "$INSTDIR\Plugins\${PLUGIN_FILE}.old"
Function PutPluginFileInPlace
  Delete "${NEW_PLUGIN_PATH}"
  Delete "${OLD_PLUGIN_PATH}"
  ClearErrors
  SetOverwrite try
  File "/oname=${NEW_PLUGIN_PATH}" "${DLL}"
  SetOverwrite on
  IfErrors failed
  IfFileExists "${PLUGIN_PATH}" 0 place
    Rename "${PLUGIN_PATH}" "${OLD_PLUGIN_PATH}"
    IfErrors take_new_away
  place:
    Rename "${NEW_PLUGIN_PATH}" "${PLUGIN_PATH}"
    IfErrors put_old_back
    IfFileExists "${OLD_PLUGIN_PATH}" 0 done
    Delete "${OLD_PLUGIN_PATH}"
    IfErrors 0 done
    Rename "${PLUGIN_PATH}" "${NEW_PLUGIN_PATH}"
  put_old_back:
    Rename "${OLD_PLUGIN_PATH}" "${PLUGIN_PATH}"
  take_new_away:
    Delete "${NEW_PLUGIN_PATH}"
  failed:
    MessageBox MB_OK|MB_ICONSTOP \
      "${PLUGIN_PATH} could not be replaced: it is in use, or the folder cannot be written to.$\n$\nNothing was changed." \
      /SD IDOK
    Abort "${PLUGIN_FILE} could not be replaced: nothing was changed."
  done:
FunctionEnd

; Nothing is written until every check has passed; the uninstaller and the
; entry only once the new DLL is in place.
Section "ml_kovra"
  Call CheckHostFolder
  Call WaitForHostToClose
  Call RefuseNewerVersion
  Call SayWhenEntryNamesAnotherFolder
  Call WaitForPluginFileToBeFree
  SetOutPath "$INSTDIR\Plugins"
  Call PutPluginFileInPlace
  ClearErrors
  WriteUninstaller "$INSTDIR\Plugins\${UNINSTALLER}"
  IfErrors 0 +2
    Abort "$INSTDIR\Plugins\${UNINSTALLER} could not be written."

  ; The size of the two files written (the DLL and the uninstaller), in KB.
  ${GetSize} "$INSTDIR\Plugins" "/M=ml_kovra* /S=0K /G=0" $1 $2 $3
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "ml_kovra: Olympus m:robe MR-100 in the Winamp media library"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '${OWN_UNINSTALL_STRING}'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '${OWN_UNINSTALL_STRING} /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The plug-in's snapshot (and a temporary left by a write cut short) in each
; folder the host's settings file may lie in. Only a cache: removing it costs
; the next read its speed, nothing else.
!define SNAPSHOT_FILE "ml_kovra.cache"
Function un.RemoveSnapshots
  Delete "$INSTDIR\..\${SNAPSHOT_FILE}"
  Delete "$INSTDIR\..\${SNAPSHOT_FILE}.new"
  SetShellVarContext current
  Delete "$APPDATA\Winamp\${SNAPSHOT_FILE}"
  Delete "$APPDATA\Winamp\${SNAPSHOT_FILE}.new"
FunctionEnd

; $INSTDIR is the Plugins folder, where the uninstaller lies. Only the two
; files the installer wrote go, with the snapshot of the player's last read
; that the plug-in keeps beside the host's settings file (the host's folder,
; or the user's Winamp folder of the application data): other plug-ins, the
; folder itself and the settings file (where the plug-in's sort order and
; search stay for a reinstall) are left as they are. The entry goes only when
; it names this copy: one installed later in another host folder keeps it.
Section "Uninstall"
  Call un.WaitForHostToClose
  ClearErrors
  Delete "$INSTDIR\${PLUGIN_FILE}"
  IfErrors 0 removed
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\${PLUGIN_FILE} could not be removed." /SD IDOK
    Abort "${PLUGIN_FILE} could not be removed."
  removed:
  ; Asked while this uninstaller is still there to be named by its short names.
  StrCpy $R1 "$INSTDIR\${UNINSTALLER}"
  Call un.EntryNamesUninstaller
  Delete "$INSTDIR\${UNINSTALLER}"
  Call un.RemoveSnapshots
  StrCmp $R0 1 0 kept
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  kept:
SectionEnd
