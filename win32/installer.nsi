; The installer of QUARVEL for Windows, built with makensis by win32/packages.cmake:
;   makensis -DVERSION=1.00 -DVERSION4=1.00.0.0 -DSTAGE=<folder of the files> -DICON=<brindaq.ico>
;            -DFULL_RANGE_OPTION=--full-range -DOUTFILE=<setup.exe> installer.nsi
; It installs for the user alone, with no administrator rights: into
; %LOCALAPPDATA%\Programs\QUARVEL, with two Start-menu shortcuts (the window on its own range, and
; on the full range), the folder at the end of the user's PATH (so that a new console finds
; brindaq-cli), and an uninstaller in the list of installed apps.

Unicode true
Target amd64-unicode
ManifestSupportedOS Win10
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define PRODUCT "QUARVEL"
!define PUBLISHER "TORVASK"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define ENVIRONMENT_KEY "Environment"
!define FULL_RANGE_SHORTCUT "$SMPROGRAMS\${PRODUCT} (full range).lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!include "WinMessages.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\brindaq.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The user's PATH, HKCU\Environment's Path, holds the folder as one of its entries, separated by
; semicolons. Written without plugins, with makensis' own strings: they hold NSIS_MAX_STRLEN - 1
; characters, and a longer Path cannot be read whole, so that one is left as it is.
;
; ReadPath: $R0 = the user's Path, "" when it has none; the error flag set when it cannot be read
; whole (too long, or not text).
; PathWithout: $R1 = $R0 without the entries equal to $INSTDIR (case aside, as Windows compares
; folder names), $R2 = how many there were.
!define /math PATH_READ_LIMIT ${NSIS_MAX_STRLEN} - 1   ; a Path this long may have been cut
!define /math PATH_WRITE_LIMIT ${NSIS_MAX_STRLEN} - 2  ; the Path and the folder, less the ";"
!macro PATH_FUNCTIONS UN
Function ${UN}ReadPath
  StrCpy $R0 ""
  StrCpy $R3 0
  ClearErrors
  find:
    EnumRegValue $R4 HKCU "${ENVIRONMENT_KEY}" $R3
    IfErrors absent
    StrCmp $R4 "" absent
    IntOp $R3 $R3 + 1
    StrCmp $R4 "Path" 0 find
  ClearErrors
  ReadRegStr $R0 HKCU "${ENVIRONMENT_KEY}" "Path"
  IfErrors 0 +2
    Return  ; the error flag stays set
  StrLen $R3 $R0
  IntCmp $R3 ${PATH_READ_LIMIT} 0 +2 0
    SetErrors
  Return
  absent:
    ClearErrors
FunctionEnd

Function ${UN}PathWithout
  StrCpy $R1 ""
  StrCpy $R2 0
  StrCpy $R3 ""  ; the entry being read
  StrCpy $R4 0   ; where in $R0
  StrCpy $R6 0   ; whether an entry has been kept
  next_character:
    StrCpy $R5 $R0 1 $R4
    StrCmp $R5 "" end_of_entry
    StrCmp $R5 ";" end_of_entry
    StrCpy $R3 "$R3$R5"
    IntOp $R4 $R4 + 1
    Goto next_character
  end_of_entry:
    StrCmp $R3 $INSTDIR 0 keep
    IntOp $R2 $R2 + 1
    Goto entry_done
  keep:
    StrCmp $R6 0 first_kept
    StrCpy $R1 "$R1;$R3"
    Goto entry_done
  first_kept:
    StrCpy $R1 $R3
    StrCpy $R6 1
  entry_done:
    StrCmp $R5 "" done
    StrCpy $R3 ""
    IntOp $R4 $R4 + 1
    Goto next_character
  done:
FunctionEnd
!macroend
!insertmacro PATH_FUNCTIONS ""
!insertmacro PATH_FUNCTIONS "un."

; Tells the programs that are running, Explorer first, that the environment has changed.
!macro ENVIRONMENT_CHANGED
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:${ENVIRONMENT_KEY}" /TIMEOUT=5000
!macroend

; Appends the folder to the user's Path, unless it is there already; records in the uninstaller's
; key that it was added, so that uninstalling takes out what installing put in and nothing else.
Function AddToPath
  Call ReadPath
  IfErrors too_long
  Call PathWithout
  IntCmp $R2 0 0 present present
  StrLen $R3 $R0
  StrLen $R4 $INSTDIR
  IntOp $R3 $R3 + $R4
  IntCmp $R3 ${PATH_WRITE_LIMIT} 0 0 too_long
  StrCmp $R0 "" 0 +3
    StrCpy $R0 $INSTDIR
    Goto write
  StrCpy $R0 "$R0;$INSTDIR"
  write:
    WriteRegExpandStr HKCU "${ENVIRONMENT_KEY}" "Path" $R0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "AddedToPath" 1
    !insertmacro ENVIRONMENT_CHANGED
    DetailPrint "Added to the PATH: $INSTDIR"
  present:
    Return
  too_long:
    DetailPrint "The PATH is too long to change here: run brindaq-cli as $INSTDIR\brindaq-cli.exe"
FunctionEnd

Function un.RemoveFromPath
  ReadRegDWORD $R0 HKCU "${UNINSTALL_KEY}" "AddedToPath"
  IntCmp $R0 1 0 done done
  Call un.ReadPath
  IfErrors done
  Call un.PathWithout
  IntCmp $R2 0 done
  StrCmp $R1 "" 0 +3
    DeleteRegValue HKCU "${ENVIRONMENT_KEY}" "Path"
    Goto changed
  WriteRegExpandStr HKCU "${ENVIRONMENT_KEY}" "Path" $R1
  changed:
    !insertmacro ENVIRONMENT_CHANGED
  done:
FunctionEnd

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}\brindaq.exe"
  File "${STAGE}\brindaq-cli.exe"
  File "${STAGE}\README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\brindaq.exe"
  CreateShortcut "${FULL_RANGE_SHORTCUT}" "$INSTDIR\brindaq.exe" "${FULL_RANGE_OPTION}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\brindaq.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  Call AddToPath
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "${FULL_RANGE_SHORTCUT}"
  Delete "$INSTDIR\brindaq.exe"
  Delete "$INSTDIR\brindaq-cli.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Call un.RemoveFromPath
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
