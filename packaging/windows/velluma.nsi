; Velluma's installer for a Windows station (NSIS 3), made by scripts/windows-installer:
;
;   makensis -DVERSION=1.0 -DPROGRAM=<folder> -DICON=<velluma.ico> -DFILE_LIST=<installed-files.nsh>
;            -DOUTFILE=<setup.exe> velluma.nsi
;
; FILE_LIST removes the installed files by name (Delete and RMDir lines).
;
; PROGRAM holds what is installed: velluma-cli.exe, README.txt and, when the window is built,
; velluma.exe with the Qt libraries and plugins beside it. Per machine, into Program Files; a
; Start-menu folder; "Open with Velluma" for LUTs and calibration data when the window is there;
; an entry in Apps & features; silent with /S. The operator's settings (the registry key
; HKLM\Software\Quillem\Velluma) and history (%LOCALAPPDATA%\Quillem\Velluma) are never touched:
; an upgrade keeps them and so does uninstalling. The instruments' vendor parts are not shipped;
; the last page says whether they are present.

; A 64-bit installer: the program is 64-bit only, and Wine runs it without a 32-bit Wine.
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!ifndef VERSION
  !error "VERSION must be defined (see above)"
!endif
!ifndef PROGRAM
  !error "PROGRAM must be defined (see above)"
!endif
!ifndef ICON
  !error "ICON must be defined (see above)"
!endif
!ifndef OUTFILE
  !error "OUTFILE must be defined (see above)"
!endif
!ifndef FILE_LIST
  !error "FILE_LIST must be defined (see above)"
!endif

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

!define PRODUCT "Velluma"
!define PUBLISHER "Quillem"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velluma"
; The CA-SDK's COM server, by the class the program creates (CLSID_Ca200).
!define CA_SERVER_KEY "CLSID\{006B0650-AF9A-4EE1-B18F-B5740004D7CE}\InprocServer32"
!define START_MENU "$SMPROGRAMS\Velluma"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quillem\Velluma"
RequestExecutionLevel admin
BrandingText "${PUBLISHER} ${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Var VendorParts

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_TITLE "${PRODUCT} ${VERSION} is installed"
!define MUI_FINISHPAGE_TEXT "$VendorParts"
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_PAGE_CUSTOMFUNCTION_PRE DescribeVendorParts
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "${PRODUCT} needs a 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  ; An upgrade goes where the earlier version is.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

; The last page's text: whether the CA-SDK's server is registered and EyeOne.dll can be found.
Function DescribeVendorParts
  ReadRegStr $0 HKCR "${CA_SERVER_KEY}" ""
  ${If} $0 == ""
    StrCpy $1 "The CA-SDK's COM server is not registered: to use a CA-210 or CA-310, install the CA-SDK from its vendor."
  ${Else}
    StrCpy $1 "The CA-SDK's COM server is registered ($0): the CA-210 and CA-310 can be used."
  ${EndIf}
  StrCpy $2 "$INSTDIR\EyeOne.dll"
  ${IfNot} ${FileExists} $2
    SearchPath $2 "EyeOne.dll"
  ${EndIf}
  ${If} $2 == ""
    StrCpy $2 "EyeOne.dll was not found beside ${PRODUCT} or on the PATH: to use an i1-Pro, install the EyeOne library from its vendor, or copy EyeOne.dll into $INSTDIR."
  ${Else}
    StrCpy $2 "EyeOne.dll was found ($2): the i1-Pro can be used."
  ${EndIf}
  StrCpy $VendorParts "$1$\r$\n$\r$\n$2$\r$\n$\r$\nThe PR-655 needs no vendor part: it is reached over its serial port."
FunctionEnd

Section "${PRODUCT}"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${PROGRAM}\*.*"
  File "/oname=velluma.ico" "${ICON}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "${START_MENU}"
  ${If} ${FileExists} "$INSTDIR\velluma.exe"
    CreateShortcut "${START_MENU}\Velluma.lnk" "$INSTDIR\velluma.exe" "" "$INSTDIR\velluma.ico"
    ; "Open with Velluma" beside each file kind's own program, which stays the default.
    WriteRegStr HKLM "Software\Classes\Velluma.File" "" "Velluma file"
    WriteRegStr HKLM "Software\Classes\Velluma.File\DefaultIcon" "" "$INSTDIR\velluma.ico"
    WriteRegStr HKLM "Software\Classes\Velluma.File\shell\open\command" "" '"$INSTDIR\velluma.exe" "%1"'
    WriteRegStr HKLM "Software\Classes\Applications\velluma.exe\shell\open\command" "" '"$INSTDIR\velluma.exe" "%1"'
    WriteRegStr HKLM "Software\Classes\Applications\velluma.exe" "FriendlyAppName" "Velluma"
    WriteRegStr HKLM "Software\Classes\.cube\OpenWithProgids" "Velluma.File" ""
    WriteRegStr HKLM "Software\Classes\.cub\OpenWithProgids" "Velluma.File" ""
    WriteRegStr HKLM "Software\Classes\.txt\OpenWithProgids" "Velluma.File" ""
  ${EndIf}
  CreateShortcut "${START_MENU}\Velluma command prompt.lnk" "$SYSDIR\cmd.exe" \
    '/k cd /d "$INSTDIR"' "$INSTDIR\velluma.ico"
  CreateShortcut "${START_MENU}\Uninstall Velluma.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velluma.ico"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes what the installer made, by name: a file the operator put into the folder stays, and
; with it the folder.
Section "Uninstall"
  SetShellVarContext all
  !include "${FILE_LIST}"
  Delete "$INSTDIR\velluma.ico"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."  ; Quillem, when nothing else of the publisher's is in it

  Delete "${START_MENU}\Velluma.lnk"
  Delete "${START_MENU}\Velluma command prompt.lnk"
  Delete "${START_MENU}\Uninstall Velluma.lnk"
  RMDir "${START_MENU}"

  DeleteRegKey HKLM "Software\Classes\Velluma.File"
  DeleteRegKey HKLM "Software\Classes\Applications\velluma.exe"
  DeleteRegValue HKLM "Software\Classes\.cube\OpenWithProgids" "Velluma.File"
  DeleteRegValue HKLM "Software\Classes\.cub\OpenWithProgids" "Velluma.File"
  DeleteRegValue HKLM "Software\Classes\.txt\OpenWithProgids" "Velluma.File"
  DeleteRegKey /ifempty HKLM "Software\Classes\.cube\OpenWithProgids"
  DeleteRegKey /ifempty HKLM "Software\Classes\.cube"
  DeleteRegKey /ifempty HKLM "Software\Classes\.cub\OpenWithProgids"
  DeleteRegKey /ifempty HKLM "Software\Classes\.cub"
  DeleteRegKey /ifempty HKLM "Software\Classes\.txt\OpenWithProgids"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
