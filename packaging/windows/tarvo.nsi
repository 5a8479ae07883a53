; Tarvo's setup program, made by scripts/build-windows from the folder `cmake --install` filled:
;   makensis -DVERSION=1.2 -DFILES=files.nsh -DREMOVE=remove.nsh -DOUTFILE=TarvoSetup-1.2.exe tarvo.nsi
; FILES installs that folder's files one by one, REMOVE deletes exactly those again, so the
; uninstaller leaves whatever else lies there (a tarvo.INI of a writable folder) and everything
; in the operator's documents (recordings, parameter sets, exports) and in %APPDATA%\Tarvo.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvo"
Name "Tarvo ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tarvo"
InstallDirRegKey HKLM "Software\Tarvo" "InstallDir"
RequestExecutionLevel admin

!define MUI_ICON "tarvo.ico"
!define MUI_UNICON "tarvo.ico"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; No "start Tarvo now" at the end: started by the elevated setup program, Tarvo would write its
; tarvo.INI into the program folder, and every user after it would find that file read-only.
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

Section "Tarvo"
  SetRegView 64
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; Recordings go to the folder the program starts in: the operator's documents, folder Tarvo.
  SetShellVarContext current
  CreateDirectory "$DOCUMENTS\Tarvo"
  SetOutPath "$DOCUMENTS\Tarvo"
  CreateShortCut "$SMPROGRAMS\Tarvo.lnk" "$INSTDIR\tarvo.exe"
  WriteRegStr HKLM "Software\Tarvo" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tarvo"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvo.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetRegView 64
  !include "${REMOVE}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"  ; only when nothing else lies there
  SetShellVarContext current
  Delete "$SMPROGRAMS\Tarvo.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\Tarvo"
SectionEnd
