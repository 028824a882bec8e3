; The Windows installer: the portable folder into Program Files, a Start-menu entry, an uninstaller, and
; project files (.zpj) opening in Zanfold. Built by tools/windows/package.sh with VERSION, STAGE (the
; portable folder), ICON and OUTFILE defined. The finish page starts nothing: a program started by the
; elevated installer could write its settings into Program Files.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"

Name "Zanfold ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zanfold"
InstallDirRegKey HKLM "Software\Zanfold" "InstallDir"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zanfold"

Section "Zanfold"
    SetRegView 64
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "Software\Zanfold" "InstallDir" "$INSTDIR"

    SetShellVarContext all
    CreateDirectory "$SMPROGRAMS\Zanfold"
    CreateShortCut "$SMPROGRAMS\Zanfold\Zanfold.lnk" "$INSTDIR\zanfold.exe"
    CreateShortCut "$SMPROGRAMS\Zanfold\卸载 Zanfold.lnk" "$INSTDIR\uninstall.exe"

    ; Project files open in Zanfold.
    WriteRegStr HKCR ".zpj" "" "Zanfold.Project"
    WriteRegStr HKCR "Zanfold.Project" "" "Zanfold 项目"
    WriteRegStr HKCR "Zanfold.Project\DefaultIcon" "" "$INSTDIR\zanfold.exe,0"
    WriteRegStr HKCR "Zanfold.Project\shell\open\command" "" '"$INSTDIR\zanfold.exe" "%1"'
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Zanfold"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Zanfold"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zanfold.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetRegView 64
    SetShellVarContext all
    ; The program's own files only: settings, the library and projects under the user's folders stay.
    RMDir /r "$INSTDIR\plugins"
    RMDir /r "$INSTDIR\translations"
    Delete "$INSTDIR\*.exe"
    Delete "$INSTDIR\*.dll"
    Delete "$INSTDIR\qt.conf"
    Delete "$INSTDIR\README.txt"
    RMDir "$INSTDIR"
    RMDir /r "$SMPROGRAMS\Zanfold"
    DeleteRegKey HKCR "Zanfold.Project"
    ReadRegStr $0 HKCR ".zpj" ""
    StrCmp $0 "Zanfold.Project" 0 +2
    DeleteRegKey HKCR ".zpj"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\Zanfold"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
