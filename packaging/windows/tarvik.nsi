; The Windows installer of Tarvik, built by scripts/package.sh win:
;   makensis -DVERSION=0.1.0 -DFILES=FOLDER -DOUTFILE=SETUP.EXE tarvik.nsi
; FOLDER holds what the zip holds: Tarvik.exe, LDTKSETUP.EXE, README.txt, LICENCE.txt.
; It installs into Program Files, adds a Start menu entry, opens .tkt, .tks and .tkm files with
; Tarvik.exe and registers its uninstaller. The uninstaller removes the program and the
; associations; the user's settings (HKCU\Software\Emulators\Tarvik) and quick snapshots stay
; unless the user asks (a question, or /PURGE on the command line of a silent uninstall).
; Both run silently with /S.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include LogicLib.nsh
!include FileFunc.nsh

!define APP "Tarvik"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvik"
!define SETTINGS_KEY "Software\Emulators\Tarvik"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

LoadLanguageFile "${NSISDIR}\Contrib\Language files\Hungarian.nlf"
LoadLanguageFile "${NSISDIR}\Contrib\Language files\English.nlf"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${APP}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${APP} ${VERSION} telepítő"
VIAddVersionKey /LANG=0 "LegalCopyright" "Tarvik maintainers"

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

; One file type: its class (extension, class name, description, icon index in Tarvik.exe).
!macro Associate EXT CLASS TEXT
  WriteRegStr HKLM "Software\Classes\${EXT}" "" "${CLASS}"
  WriteRegStr HKLM "Software\Classes\${CLASS}" "" "${TEXT}"
  WriteRegStr HKLM "Software\Classes\${CLASS}\DefaultIcon" "" "$INSTDIR\Tarvik.exe,0"
  WriteRegStr HKLM "Software\Classes\${CLASS}\shell\open\command" "" '"$INSTDIR\Tarvik.exe" "%1"'
!macroend

; Removes the class, and the extension's default only while it still names the class (another
; program may have taken the extension since).
!macro Unassociate EXT CLASS
  ReadRegStr $0 HKLM "Software\Classes\${EXT}" ""
  ${If} $0 == "${CLASS}"
    DeleteRegValue HKLM "Software\Classes\${EXT}" ""
    DeleteRegKey /ifempty HKLM "Software\Classes\${EXT}"
  ${EndIf}
  DeleteRegKey HKLM "Software\Classes\${CLASS}"
!macroend

Section "Tarvik"
  SetOutPath "$INSTDIR"
  File "${FILES}\Tarvik.exe"
  File "${FILES}\LDTKSETUP.EXE"
  File "${FILES}\README.txt"
  File "${FILES}\LICENCE.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${APP}"
  CreateShortcut "$SMPROGRAMS\${APP}\${APP}.lnk" "$INSTDIR\Tarvik.exe"
  CreateShortcut "$SMPROGRAMS\${APP}\${APP} eltávolítása.lnk" "$INSTDIR\Uninstall.exe"

  !insertmacro Associate ".tkt" "Tarvik.Tape" "Tarvik kazettaállomány"
  !insertmacro Associate ".tks" "Tarvik.Snapshot" "Tarvik pillanatfelvétel"
  !insertmacro Associate ".tkm" "Tarvik.MachineState" "Tarvik gépállapot"
  ; Tell Explorer the associations changed (SHCNE_ASSOCCHANGED).
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Tarvik maintainers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tarvik.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\Tarvik.exe"
  Delete "$INSTDIR\LDTKSETUP.EXE"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENCE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only an empty folder: files the user put there (a "roms" folder) stay.
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\${APP}\${APP}.lnk"
  Delete "$SMPROGRAMS\${APP}\${APP} eltávolítása.lnk"
  RMDir "$SMPROGRAMS\${APP}"

  !insertmacro Unassociate ".tkt" "Tarvik.Tape"
  !insertmacro Unassociate ".tks" "Tarvik.Snapshot"
  !insertmacro Unassociate ".tkm" "Tarvik.MachineState"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ; The user's settings and quick snapshots: only when asked.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/PURGE" $1
  ${If} ${Errors}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "Törli a Tarvik beállításait és gyorsmentéseit is?" /SD IDNO IDNO keep
  ${EndIf}
  SetShellVarContext current
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  RMDir /r "$APPDATA\Tarvik"
  keep:
SectionEnd
