; Orvelle Quillpad's installer. scripts/package.sh makes two from this
; script: the shipped one with the 32-bit program, and one with the 64-bit
; build. Defines (makensis /D...):
;   ARCH      32 or 64: the program's, the installer's and the registry view
;   PROGRAM   the quillpad.exe to ship; the version comes from its resource
;   XQB       the xqb.exe to ship beside it, the command-line book tool
;   ICON      the program's icon file
;   PAYLOAD   a generated .nsh with the macros InstallBooks and RemoveBooks
;   OUTFILE   the installer to write
;   COMPRESSOR  NSIS's SetCompressor argument ("/SOLID lzma" to ship)
; Silent install (/S) and the install folder (/D=FOLDER, last on the
; command line) work as in every NSIS installer.

Unicode true
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!getdllversion "${PROGRAM}" PROGRAM_VERSION_
!define VERSION "${PROGRAM_VERSION_1}.${PROGRAM_VERSION_2}.${PROGRAM_VERSION_3}"

!define PRODUCT "Orvelle Quillpad"
!define PUBLISHER "Orvelle Reference Software"
!define WEB_ADDRESS "http://www.orvelle.example/quillpad/"
; The program's settings; it reads InstallPath to find its books.
!define SETTINGS_KEY "Software\Orvelle\Quillpad"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

!if ${ARCH} == 64
  Target amd64-unicode
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else if ${ARCH} == 32
  Target x86-unicode
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!else
  !error "ARCH must be 32 or 64"
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; The installer writes under HKLM and Program Files; the program itself
; asks for nothing.
RequestExecutionLevel admin
SetCompressor ${COMPRESSOR}
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2025-2026 Orvelle"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!include "${PAYLOAD}"

; Files in use cannot be replaced or removed: wait for the user to close
; the program. A silent run gives up at once.
!macro RefuseWhileRunning
  check_running:
    FindWindow $0 "Quillpad" "${PRODUCT}"
    StrCmp $0 0 not_running
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "${PRODUCT} is running. Close it, then choose Retry." /SD IDCANCEL IDRETRY check_running
    SetErrorLevel 2
    Quit
  not_running:
!macroend

Function .onInit
  SetRegView ${ARCH}
  SetShellVarContext all
  !insertmacro RefuseWhileRunning
FunctionEnd

Function un.onInit
  SetRegView ${ARCH}
  SetShellVarContext all
  !insertmacro RefuseWhileRunning
FunctionEnd

Section "${PRODUCT}" SecProgram
  SectionIn RO

  ; Installed before somewhere else: take the old copy away first, so that
  ; one copy and one Add/Remove entry remain. Its uninstaller keeps the
  ; user's settings.
  ReadRegStr $0 HKLM "${SETTINGS_KEY}" "InstallPath"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
  ${AndIf} ${FileExists} "$0\uninstall.exe"
    ExecWait '"$0\uninstall.exe" /S _?=$0'
    Delete "$0\uninstall.exe"
    RMDir "$0"
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "/oname=quillpad.exe" "${PROGRAM}"
  File "/oname=xqb.exe" "${XQB}"
  !insertmacro InstallBooks
  SetOutPath "$INSTDIR"

  WriteRegStr HKLM "${SETTINGS_KEY}" "InstallPath" "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The working folder of the shortcut is the output path: the install folder.
  CreateShortCut "${SHORTCUT}" "$INSTDIR\quillpad.exe" "" "$INSTDIR\quillpad.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${WEB_ADDRESS}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quillpad.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes what the installer put there. The user's own settings (the last
; book, the window's places, the history's size) stay, so that installing
; again, or a newer version, starts where the user left off; only
; InstallPath goes, and the keys when nothing else is left in them.
Section "Uninstall"
  Delete "$INSTDIR\quillpad.exe"
  Delete "$INSTDIR\xqb.exe"
  !insertmacro RemoveBooks
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: whatever the user put into the folder stays.
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"

  DeleteRegValue HKLM "${SETTINGS_KEY}" "InstallPath"
  DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Orvelle"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
