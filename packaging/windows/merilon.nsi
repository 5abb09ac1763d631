; The per-user installer of Мерилон 3. scripts/package-windows passes VERSION, SOURCE (the
; program folder), ICON and OUTFILE.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define NAME "Мерилон 3"
!define PUBLISHER "Мерилон"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Merilon"
; Journals go to Documents: the shortcuts start the program there, and it writes data\.
!define WORK_FOLDER "$DOCUMENTS\Мерилон"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Merilon"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${NAME} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1049 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1049 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка программы ${NAME}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Section "${NAME}" SectionProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File /r /x data "${SOURCE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "${WORK_FOLDER}\data"
  ; A shortcut's working folder is the output path at the moment it is made.
  SetOutPath "${WORK_FOLDER}"
  CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\merilon.exe" "" "$INSTDIR\merilon.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\merilon.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; The bill and the bill of quantities for expertise open in the program with a double click.
  WriteRegStr HKCU "Software\Classes\.merilon-bom" "" "Merilon.Bill"
  WriteRegStr HKCU "Software\Classes\Merilon.Bill" "" "Ведомость материалов Мерилон 3"
  WriteRegStr HKCU "Software\Classes\Merilon.Bill\DefaultIcon" "" "$INSTDIR\merilon.exe,0"
  WriteRegStr HKCU "Software\Classes\Merilon.Bill\shell\open\command" "" '"$INSTDIR\merilon.exe" "%1"'
  WriteRegStr HKCU "Software\Classes\.gge\OpenWithProgids" "Merilon.Vor" ""
  WriteRegStr HKCU "Software\Classes\Merilon.Vor" "" "Ведомость объемов работ (.gge)"
  WriteRegStr HKCU "Software\Classes\Merilon.Vor\DefaultIcon" "" "$INSTDIR\merilon.exe,0"
  WriteRegStr HKCU "Software\Classes\Merilon.Vor\shell\open\command" "" '"$INSTDIR\merilon.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Ярлык на рабочем столе" SectionDesktop
  SetOutPath "${WORK_FOLDER}"
  CreateShortcut "$DESKTOP\${NAME}.lnk" "$INSTDIR\merilon.exe" "" "$INSTDIR\merilon.exe" 0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionProgram} "Программа и библиотеки Qt."
  !insertmacro MUI_DESCRIPTION_TEXT ${SectionDesktop} "Ярлык программы на рабочем столе."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function StartProgram
  SetOutPath "${WORK_FOLDER}"
  Exec '"$INSTDIR\merilon.exe"'
FunctionEnd

; The journals in Documents are the user's: the uninstaller leaves them.
Section "Uninstall"
  Delete "$SMPROGRAMS\${NAME}.lnk"
  Delete "$DESKTOP\${NAME}.lnk"
  Delete "$INSTDIR\uninstall.exe"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\imageformats"
  RMDir /r "$INSTDIR\translations"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\merilon.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Classes\Merilon.Bill"
  DeleteRegKey HKCU "Software\Classes\Merilon.Vor"
  DeleteRegValue HKCU "Software\Classes\.gge\OpenWithProgids" "Merilon.Vor"
  ; The bill's own suffix is the program's alone.
  ReadRegStr $0 HKCU "Software\Classes\.merilon-bom" ""
  StrCmp $0 "Merilon.Bill" 0 +2
    DeleteRegKey HKCU "Software\Classes\.merilon-bom"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
