; Per-user installer for Zorbalin: needs no administrator rights, installs under the user's
; own profile, and its uninstaller removes exactly what it installed. The user's settings
; (HKCU\Software\VB and VBA Program Settings\Pellanor) and candidate files are theirs and
; are never touched.
;
; makensis -DVERSION=1.2.0 -DEXE=zorbalin.exe -DLICENSE_FILE=LICENSE -DOUTFILE=setup.exe
;          [-DICON=zorbalin.ico] [-DWIN64] zorbalin.nsi
; WIN64 packs a 64-bit exe with the 64-bit stub; the shipped installer is 32-bit.

!ifndef VERSION | EXE | LICENSE_FILE | OUTFILE
  !error "define VERSION, EXE, LICENSE_FILE and OUTFILE"
!endif

Unicode true
!ifdef WIN64
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh

!define APP_ID "io.github.zorbalin.Zorbalin"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP_ID}"
!define SHORTCUT "$SMPROGRAMS\Zorbalin.lnk"

Name "Zorbalin"
Caption "Zorbalin ${VERSION} 安装"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Zorbalin"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "Zorbalin"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "Zorbalin 安装程序"
VIAddVersionKey /LANG=2052 "CompanyName" "The Zorbalin developers"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Copyright (c) The Zorbalin developers, MIT License"

!define MUI_ABORTWARNING
!ifdef ICON
  !define MUI_ICON "${ICON}"
  !define MUI_UNICON "${ICON}"
!endif
!define MUI_FINISHPAGE_RUN "$INSTDIR\zorbalin.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Zorbalin"
  SetOutPath "$INSTDIR"
  File "/oname=zorbalin.exe" "${EXE}"
  File "/oname=LICENSE.txt" "${LICENSE_FILE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\zorbalin.exe"

  ; The entry in the list of installed programs, for this user only.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Zorbalin"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Zorbalin developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zorbalin.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only the files above: RMDir without /r leaves the folder if the user put anything in it.
Section "Uninstall"
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\zorbalin.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
