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
; The release tests' build of it also defines PLANTED_FAILURES (see
; PLANTED_FAILURE below).

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
!include LogicLib.nsh
!include nsDialogs.nsh
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
!define UNINSTALL_LIST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall"

; Windows' own numbers, for the calls through the System plug-in.
!define HKEY_LOCAL_MACHINE 0x80000002
!define KEY_SET_VALUE 0x2
!define KEY_CREATE_SUB_KEY 0x4
!define DELETE_ACCESS 0x10000
!define FILE_WRITE_DATA 0x2
!define FILE_SHARE_ALL 0x7
!define OPEN_EXISTING 3
!define FILE_ATTRIBUTE_READONLY 0x1
!define INVALID_HANDLE_VALUE -1
!define ERROR_FILE_NOT_FOUND 2
!define ERROR_SHARING_VIOLATION 32
!define ERROR_LOCK_VIOLATION 33

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
Page custom ShowNextSteps "" ": What to do next"
UninstPage custom un.ConfirmRemoval "" ": Confirmation"
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

; The two files the install writes. Each new one is first written beside the
; old under the name .new; then the old one steps aside as .old and the new one
; takes its name. The .old files are deleted last, once everything else is in
; place: until then, any failure puts back exactly what was there.
!define PLUGIN_PATH "$INSTDIR\Plugins\${PLUGIN_FILE}"
!define UNINSTALLER_PATH "$INSTDIR\Plugins\${UNINSTALLER}"

; What the install changed so far, for PutBackAndAbort: 1 once the old file is
; aside (Aside) and once the new one has its name (Placed); the old file's
; attributes, to give them back.
Var PluginAside
Var PluginPlaced
Var PluginAttributes
Var UninstallerAside
Var UninstallerPlaced
Var UninstallerAttributes
; 1 when the entry's key was there before; 1 once the install wrote to it.
Var EntryExisted
Var EntryWritten
; What PutBackAndAbort could not put back, for its message; empty when all.
Var NotPutBack

; Sets $R0 to what keeps the file $R1 from being replaced: "" when nothing
; does (or there is no such file), else "folder", "held" (another process has
; it open or loaded) or "denied" (the file or its folder cannot be written).
; The file is only opened, never changed. A rename and a delete are all the
; install asks of an old file, so a read-only one is replaced like any other;
; only a file that is not read-only is also opened for writing, which fails
; while a process has it loaded.
Function FileBlocker
  StrCpy $R0 ""
  ${If} ${FileExists} "$R1\*.*"
    StrCpy $R0 "folder"
  ${ElseIf} ${FileExists} "$R1"
    System::Call 'kernel32::GetFileAttributesW(w R1) i .R2'
    IntOp $R2 $R2 & ${FILE_ATTRIBUTE_READONLY}
    StrCpy $R3 ${DELETE_ACCESS}
    ${If} $R2 = 0
      IntOp $R3 $R3 | ${FILE_WRITE_DATA}
    ${EndIf}
    System::Call 'kernel32::CreateFileW(w R1, i R3, i ${FILE_SHARE_ALL}, p 0, i ${OPEN_EXISTING}, i 0, p 0) i .R3 ?e'
    Pop $R2
    ${If} $R3 = ${INVALID_HANDLE_VALUE}
      StrCpy $R0 "denied"
      ${If} $R2 = ${ERROR_SHARING_VIOLATION}
      ${OrIf} $R2 = ${ERROR_LOCK_VIOLATION}
        StrCpy $R0 "held"
      ${EndIf}
    ${Else}
      System::Call 'kernel32::CloseHandle(i R3)'
    ${EndIf}
  ${EndIf}
FunctionEnd

; Waits until the file $R1 can be replaced: asks the user to close what holds
; it ($R2 says what may); ends the install, with nothing changed, when the user
; (or a silent install) gives up, or when only the user can clear the way.
Function WaitForFileToBeFree
  check:
    Call FileBlocker
    StrCmp $R0 "" free
    StrCmp $R0 "held" 0 not_held
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "$R1 is in use, so it cannot be replaced. $R2$\n$\nClose that program, then choose Retry." \
        /SD IDCANCEL IDRETRY check
      Abort "$R1 is in use: nothing was changed."
    not_held:
    StrCmp $R0 "folder" 0 denied
      MessageBox MB_OK|MB_ICONSTOP \
        "$R1 is a folder, so setup cannot write the file of that name.$\n$\nMove or rename that folder, then run setup again. Nothing was changed." \
        /SD IDOK
      Abort "$R1 is a folder: nothing was changed."
    denied:
      MessageBox MB_OK|MB_ICONSTOP \
        "$R1 cannot be replaced: the file or its folder cannot be written to.$\n$\nNothing was changed." \
        /SD IDOK
      Abort "$R1 cannot be replaced: nothing was changed."
  free:
FunctionEnd

; Another process may have a file open with no host window to find: the host
; in another user's session or still unloading its plug-ins, a virus scanner
; looking at a fresh executable. The install stops before it writes anything.
Function WaitForFilesToBeFree
  StrCpy $R1 "${PLUGIN_PATH}"
  StrCpy $R2 "Most likely Winamp still has it loaded (closing, or running for another user); else another program has the file open, such as a virus scanner."
  Call WaitForFileToBeFree
  StrCpy $R1 "${UNINSTALLER_PATH}"
  StrCpy $R2 "Another program has the file open, such as a virus scanner."
  Call WaitForFileToBeFree
FunctionEnd

; The entry is written too: its key, or the list's key when it has none yet,
; must open for writing. Sets $EntryExisted.
Function RefuseUnwritableEntry
  StrCpy $EntryExisted 1
  System::Call 'advapi32::RegOpenKeyExW(p ${HKEY_LOCAL_MACHINE}, w "${UNINSTALL_KEY}", i 0, i ${KEY_SET_VALUE}, *p .R1) i .R0'
  ${If} $R0 = ${ERROR_FILE_NOT_FOUND}
    StrCpy $EntryExisted 0
    System::Call 'advapi32::RegOpenKeyExW(p ${HKEY_LOCAL_MACHINE}, w "${UNINSTALL_LIST_KEY}", i 0, i ${KEY_CREATE_SUB_KEY}, *p .R1) i .R0'
  ${EndIf}
  ${If} $R0 <> 0
    MessageBox MB_OK|MB_ICONSTOP \
      "Windows' list of programs cannot be written to (error $R0), so ml_kovra cannot be registered there.$\n$\nNothing was changed." \
      /SD IDOK
    Abort "The list of programs cannot be written to: nothing was changed."
  ${EndIf}
  System::Call 'advapi32::RegCloseKey(p R1)'
FunctionEnd

; The entry's values; MACRO is run on each with the kind of value and its name.
!macro FOR_EACH_ENTRY_VALUE macro
  !insertmacro ${macro} Str DisplayName
  !insertmacro ${macro} Str DisplayVersion
  !insertmacro ${macro} Str Publisher
  !insertmacro ${macro} Str UninstallString
  !insertmacro ${macro} Str QuietUninstallString
  !insertmacro ${macro} DWORD EstimatedSize
  !insertmacro ${macro} DWORD NoModify
  !insertmacro ${macro} DWORD NoRepair
!macroend
; The entry's values as they were before the install, for putting them back.
!define NO_VALUE "<no value>"
!macro DECLARE_OLD_VALUE kind name
  Var Old${name}
!macroend
!insertmacro FOR_EACH_ENTRY_VALUE DECLARE_OLD_VALUE
!macro SAVE_OLD_VALUE kind name
  ClearErrors
  ReadReg${kind} $Old${name} HKLM "${UNINSTALL_KEY}" "${name}"
  ${If} ${Errors}
    StrCpy $Old${name} "${NO_VALUE}"
  ${EndIf}
!macroend
!macro PUT_OLD_VALUE_BACK kind name
  ${If} $Old${name} == "${NO_VALUE}"
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "${name}"
  ${Else}
    WriteReg${kind} HKLM "${UNINSTALL_KEY}" "${name}" $Old${name}
  ${EndIf}
!macroend

; Moves the old file at PATH aside, if there is one, and gives the new one
; its name; sets the file's variables (ASIDE, PLACED, ATTRIBUTES) as it goes.
!macro PUT_NEW_FILE_IN_PLACE path aside placed attributes
  ${If} ${FileExists} "${path}"
    StrCpy $R1 "${path}"
    System::Call 'kernel32::GetFileAttributesW(w R1) i .s'
    Pop ${attributes}
    ClearErrors
    Rename "${path}" "${path}.old"
    ${If} ${Errors}
      StrCpy $R0 "${path} could not be moved aside."
      Call PutBackAndAbort
    ${EndIf}
    StrCpy ${aside} 1
  ${EndIf}
  ClearErrors
  Rename "${path}.new" "${path}"
  ${If} ${Errors}
    StrCpy $R0 "The new ${path} could not take its name."
    Call PutBackAndAbort
  ${EndIf}
  StrCpy ${placed} 1
!macroend

; Undoes PUT_NEW_FILE_IN_PLACE, whichever part of it was done; a new file
; not yet in place is deleted.
!macro PUT_OLD_FILE_BACK path aside placed attributes
  ClearErrors
  ${If} ${placed} == 1
    Rename "${path}" "${path}.new"
  ${EndIf}
  ${If} ${aside} == 1
    Rename "${path}.old" "${path}"
    StrCpy $R1 "${path}"
    System::Call 'kernel32::SetFileAttributesW(w R1, i ${attributes})'
  ${EndIf}
  ${If} ${Errors}
    StrCpy $NotPutBack "$NotPutBack$\n${path}"
  ${Else}
    Delete "${path}.new"
  ${EndIf}
!macroend

; Only in the release tests' build of the installer: /FAILAT=STEP on the
; command line makes the install fail at that step, after it has begun to
; change things, so that the tests see it put everything back.
!macro PLANTED_FAILURE step
  !ifdef PLANTED_FAILURES
    ${GetParameters} $R0
    ${GetOptions} $R0 "/FAILAT=" $R0
    ClearErrors
    ${If} $R0 == "${step}"
      StrCpy $R0 "A failure planted at the step ${step}."
      Call PutBackAndAbort
    ${EndIf}
  !endif
!macroend

; A step of the install failed ($R0 says which): the old DLL, the old
; uninstaller and the old entry go back as they were, the new files go, and
; the install ends.
Function PutBackAndAbort
  DetailPrint $R0
  ${If} $EntryWritten == 1
    ${If} $EntryExisted == 1
      !insertmacro FOR_EACH_ENTRY_VALUE PUT_OLD_VALUE_BACK
    ${Else}
      DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ${EndIf}
  ${EndIf}
  !insertmacro PUT_OLD_FILE_BACK "${UNINSTALLER_PATH}" $UninstallerAside $UninstallerPlaced $UninstallerAttributes
  !insertmacro PUT_OLD_FILE_BACK "${PLUGIN_PATH}" $PluginAside $PluginPlaced $PluginAttributes
  ${If} $NotPutBack != ""
    MessageBox MB_OK|MB_ICONSTOP "$R0$\n$\nml_kovra was not installed, and setup could not put back:$NotPutBack" /SD IDOK
    Abort "ml_kovra was not installed; not put back:$NotPutBack"
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP "$R0$\n$\nml_kovra was not installed; everything was put back as it was." /SD IDOK
  Abort "ml_kovra was not installed: nothing was changed."
FunctionEnd

; Names the install uses for its own while it runs, left by one that was cut
; off (a power cut): they go before the new files are written.
Function DeleteLeftovers
  Delete "${PLUGIN_PATH}.new"
  Delete "${PLUGIN_PATH}.old"
  Delete "${UNINSTALLER_PATH}.new"
  Delete "${UNINSTALLER_PATH}.old"
FunctionEnd

; The new files take the old ones' names; each step can be undone.
Function SwapNewFilesIn
  !insertmacro PUT_NEW_FILE_IN_PLACE "${PLUGIN_PATH}" $PluginAside $PluginPlaced $PluginAttributes
  !insertmacro PLANTED_FAILURE "plugin"
  !insertmacro PUT_NEW_FILE_IN_PLACE "${UNINSTALLER_PATH}" $UninstallerAside $UninstallerPlaced $UninstallerAttributes
  !insertmacro PLANTED_FAILURE "uninstaller"
FunctionEnd

; The old files go last. The old DLL cannot be deleted while a process has it
; loaded (the host running for another user): then everything goes back. Once
; it is gone nothing can be put back, so an old uninstaller that cannot be
; deleted (a scanner looking at it this moment) stays until the next restart.
Function DeleteOldFiles
  ${If} $PluginAside == 1
    ClearErrors
    Delete "${PLUGIN_PATH}.old"
    ${If} ${Errors}
      StrCpy $R0 "The old ${PLUGIN_PATH} is in use: a process has it loaded."
      Call PutBackAndAbort
    ${EndIf}
  ${EndIf}
  ${If} $UninstallerAside == 1
    ClearErrors
    Delete /REBOOTOK "${UNINSTALLER_PATH}.old"
    ${If} ${Errors}
      DetailPrint "${UNINSTALLER_PATH}.old could not be deleted; it is of no further use."
    ${EndIf}
  ${EndIf}
FunctionEnd

; Nothing is written until every check has passed. From the first new file
; on, a step that fails puts back what was there (PutBackAndAbort).
Section "ml_kovra" PluginSection
  Call CheckHostFolder
  Call WaitForHostToClose
  Call RefuseNewerVersion
  Call SayWhenEntryNamesAnotherFolder
  Call WaitForFilesToBeFree
  Call RefuseUnwritableEntry
  SetOutPath "$INSTDIR\Plugins"
  Call DeleteLeftovers
  ; Here in the section, not in a function, so that the pages count its size.
  ClearErrors
  SetOverwrite try
  File "/oname=${PLUGIN_PATH}.new" "${DLL}"
  SetOverwrite on
  WriteUninstaller "${UNINSTALLER_PATH}.new"
  ${If} ${Errors}
    StrCpy $R0 "The new files could not be written into $INSTDIR\Plugins."
    Call PutBackAndAbort
  ${EndIf}
  Call SwapNewFilesIn
  Call WriteEntry
  !insertmacro PLANTED_FAILURE "entry"
  Call DeleteOldFiles
SectionEnd

; The folder page and the entry state the size of the two files: the DLL's
; counts by itself (File), the uninstaller's is measured on a copy written to
; the installer's temporary folder.
Function .onInit
  InitPluginsDir
  WriteUninstaller "$PLUGINSDIR\${UNINSTALLER}"
  FileOpen $0 "$PLUGINSDIR\${UNINSTALLER}" r
  FileSeek $0 0 END $1
  FileClose $0
  Delete "$PLUGINSDIR\${UNINSTALLER}"
  IntOp $1 $1 + 1023
  IntOp $1 $1 / 1024
  SectionGetSize ${PluginSection} $0
  IntOp $0 $0 + $1
  SectionSetSize ${PluginSection} $0
FunctionEnd

; The old entry's values are kept first, so that a failure can put them back.
Function WriteEntry
  !insertmacro FOR_EACH_ENTRY_VALUE SAVE_OLD_VALUE
  StrCpy $EntryWritten 1
  SectionGetSize ${PluginSection} $R1
  ClearErrors
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "ml_kovra: Olympus m:robe MR-100 in the Winamp media library"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '${OWN_UNINSTALL_STRING}'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '${OWN_UNINSTALL_STRING} /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $R1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${If} ${Errors}
    StrCpy $R0 "The entry in Windows' list of programs could not be written."
    Call PutBackAndAbort
  ${EndIf}
FunctionEnd

; The last page: what to do now. Silent installs show no pages.
Function ShowNextSteps
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 100% "ml_kovra ${VERSION} is installed: $INSTDIR\Plugins\${PLUGIN_FILE}$\r$\n$\r$\nWhat to do next:$\r$\n$\r$\n1. Start Winamp again: it loads its plug-ins only when it starts.$\r$\n$\r$\n2. Open the media library. ml_kovra's item, $\"Olympus m:robe MR-100$\", is in the library's tree, on the left of the library window.$\r$\n$\r$\n3. Attach the player so that Windows shows it as a removable drive, then click the item: it lists every track on the player.$\r$\n$\r$\nTo remove ml_kovra later, choose $\"ml_kovra$\" in Windows' list of installed programs."
  Pop $0
  nsDialogs::Show
FunctionEnd

!define SNAPSHOT_FILE "ml_kovra.cache"

; The uninstaller's first page names the two files that go, and the read's
; snapshot beside the settings (the Plugins folder, $INSTDIR here, stays),
; and its button starts the uninstall.
Function un.ConfirmRemoval
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 100% "These two files will be removed:$\r$\n$\r$\n$INSTDIR\${PLUGIN_FILE}$\r$\n$INSTDIR\${UNINSTALLER}$\r$\n$\r$\nwith the snapshot of the player's last read (${SNAPSHOT_FILE}) beside winamp.ini.$\r$\n$\r$\nWinamp, its other plug-ins and ml_kovra's settings in winamp.ini stay.$\r$\n$\r$\nClose Winamp first, then choose Uninstall."
  Pop $0
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:$(^UninstallBtn)"
  nsDialogs::Show
FunctionEnd

; The plug-in's snapshot (and a temporary left by a write cut short) in each
; folder the host's settings file may lie in. Only a cache: removing it costs
; the next read its speed, nothing else.
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
