; Installer of the client. It puts vorn.exe and its remover Uninstall.exe into
; one folder, creates the desktop shortcut, the start-menu folder and the entry
; in the list of installed programs; Uninstall.exe takes all of it away again.
;
; Built by CMake:  makensis -INPUTCHARSET UTF8 -DBIN_DIR=<programs> -DICON=<vorn.ico> -DOUT_FILE=<setup.exe> vorn.nsi
; Silent install:  vorn-setup.exe /S [/D=<folder>]

Unicode true
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!ifndef BIN_DIR
  !error "BIN_DIR must name the folder holding vorn.exe and Uninstall.exe"
!endif
!ifndef ICON
  !error "ICON must name the client's icon"
!endif
!ifndef OUT_FILE
  !define OUT_FILE "vorn-setup.exe"
!endif

!define PRODUCT "Morvane网页版"
!define VERSION "1.15"
!define PUBLISHER "Morvane"
; The 32-bit registry view, where the 32-bit remover looks for it.
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; Windows Error Reporting's own dumps of vorn.exe. Its LocalDumps key, once it
; exists, turns local dumps on for every program; where this installer makes it,
; it marks its own key with LOCAL_DUMPS_MADE and the remover takes both away.
!define LOCAL_DUMPS_PARENT "SOFTWARE\Microsoft\Windows\Windows Error Reporting\LocalDumps"
!define LOCAL_DUMPS_KEY "${LOCAL_DUMPS_PARENT}\vorn.exe"
!define LOCAL_DUMPS_MADE "CreatedLocalDumps"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
; The 32-bit program-files folder ("Program Files (x86)" on 64-bit Windows).
InstallDir "$PROGRAMFILES\${PRODUCT}"
; A reinstall goes where the last installation went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "1.15.0.0"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "© ${PUBLISHER}"

!include "LogicLib.nsh"
!include "x64.nsh"
!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\vorn.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "SimpChinese"

; Windows Error Reporting writes the dumps that the client's own writer cannot
; (a fail-fast, a stack overflow that leaves the writer no room, a filter
; replaced by a module loaded later) into the client's dump folder, the newest
; five of them, as minidumps. It expands %LOCALAPPDATA% for the user whose
; program crashed.
!macro WriteLocalDumpsKey
  ClearErrors
  EnumRegKey $0 HKLM "${LOCAL_DUMPS_PARENT}" 0
  ${If} ${Errors}
    WriteRegDWORD HKLM "${LOCAL_DUMPS_KEY}" "${LOCAL_DUMPS_MADE}" 1
  ${EndIf}
  WriteRegExpandStr HKLM "${LOCAL_DUMPS_KEY}" "DumpFolder" "%LOCALAPPDATA%\${PRODUCT}\CrashDumps"
  WriteRegDWORD HKLM "${LOCAL_DUMPS_KEY}" "DumpCount" 5
  WriteRegDWORD HKLM "${LOCAL_DUMPS_KEY}" "DumpType" 1
!macroend

Section "${PRODUCT}"
  ; Shortcuts go to the desktop and start menu of the user who installs, where
  ; the remover looks for them.
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${BIN_DIR}/vorn.exe"
  File "${BIN_DIR}/Uninstall.exe"
  ; vorn.exe.debug, the client's symbols, stays with the build: it is for
  ; reading crash dumps, not for users.
  ; Config.ini belongs to the client and its user: it is neither shipped nor
  ; touched here, so a reinstall keeps it as it is.

  CreateShortCut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\vorn.exe" "" "$INSTDIR\vorn.exe" 0
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\vorn.exe" "" "$INSTDIR\vorn.exe" 0
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\卸载${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe" "" "$INSTDIR\Uninstall.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vorn.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; On 64-bit Windows the system's error reporting is 64-bit, and which view of
  ; SOFTWARE it reads for a 32-bit program's crash is not said anywhere: the
  ; key goes into both. 32-bit Windows has one view.
  ${If} ${RunningX64}
    SetRegView 64
    !insertmacro WriteLocalDumpsKey
    SetRegView 32
  ${EndIf}
  !insertmacro WriteLocalDumpsKey
SectionEnd
