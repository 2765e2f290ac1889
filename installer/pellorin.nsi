; Pellorin's installer for one user: no administrator rights, everything in
; the user's own folders and registry. Pellorin writes its settings beside
; itself, so its folder has to be one the user owns.
;
;   makensis -DDIST=<program folder> -DOUTFILE=<setup.exe> -DICON=<pellorin.ico> [-DAMD64] pellorin.nsi
;
; /S installs or uninstalls without a question.

!ifndef DIST | OUTFILE | ICON
  !error "usage: makensis -DDIST=<program folder> -DOUTFILE=<setup.exe> -DICON=<pellorin.ico> [-DAMD64] pellorin.nsi"
!endif

!ifdef AMD64
  Target amd64-unicode
!else
  Target x86-unicode
!endif

!define PRODUCT "Pellorin"
!define VERSION "2.2"
!define PUBLISHER "The Pellorin developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pellorin"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The toolbar button that addieicon.vbs adds.
!define BUTTON_KEY "Software\Microsoft\Internet Explorer\Extensions\{9F2E9CA6-3A7C-4425-99DE-326A150CE95F}"
!define SHORTCUT "$SMPROGRAMS\Pellorin.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; Installing again goes where the last install went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ManifestDPIAware true
BrandingText "${PRODUCT} ${VERSION}"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\rovudir.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion 2.2.0.0
VIFileVersion 2.2.0.0
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) ${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "Pellorin-${VERSION}-setup.exe"

; A running Pellorin holds its executable and would write its statistics
; after we are done: ask it to close the way Windows does (its exit routine
; saves them), and wait until it is gone and its file free, a few seconds
; at most before asking the user.
!macro DEFINE_CLOSE_RUNNING_PELLORIN un
Function ${un}closeRunningPellorin
  StrCpy $R0 0  ; turns of 100 ms waited
  StrCpy $R1 0  ; the window asked last
  again:
    FindWindow $R2 "PellorinForm" "Pellorin"
    ${If} $R2 <> 0
      ${If} $R2 <> $R1
        SendMessage $R2 ${WM_CLOSE} 0 0 /TIMEOUT=3000
        StrCpy $R1 $R2
      ${EndIf}
    ${ElseIfNot} ${FileExists} "$INSTDIR\Pellorin.exe"
      Return
    ${Else}
      ; The window goes a moment before the process lets go of its file.
      ClearErrors
      FileOpen $R3 "$INSTDIR\Pellorin.exe" a
      ${IfNot} ${Errors}
        FileClose $R3
        Return
      ${EndIf}
    ${EndIf}
    IntOp $R0 $R0 + 1
    ${If} $R0 >= 50
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Pellorin is still running. Close it, then press Retry." \
        /SD IDCANCEL IDRETRY retry
      Abort "Pellorin is still running."
      retry:
      StrCpy $R0 0
      StrCpy $R1 0
    ${EndIf}
    Sleep 100
    Goto again
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_RUNNING_PELLORIN ""
!insertmacro DEFINE_CLOSE_RUNNING_PELLORIN "un."

Section "Pellorin"
  Call closeRunningPellorin
  SetOutPath "$INSTDIR"
  ; The six settings files are the user's: never shipped, so an install over
  ; an earlier one keeps them.
  File "${DIST}/Pellorin.exe"
  File "${DIST}/rovudir.exe"
  File "${DIST}/setiedefault.vbs"
  File "${DIST}/addieicon.vbs"
  File "${DIST}/removeieicon.vbs"
  File "${DIST}/addstartup.vbs"
  File "${DIST}/removestartup.vbs"
  File "${DIST}/readme.txt"
  File "${DIST}/faq.txt"
  File "${DIST}/pellorin.ico"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The launcher, not Pellorin itself: a second click brings the running
  ; program back instead of starting another.
  CreateShortcut "${SHORTCUT}" "$INSTDIR\rovudir.exe" "" "$INSTDIR\pellorin.ico" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Pellorin.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Call un.closeRunningPellorin
  DeleteRegValue HKCU "${RUN_KEY}" "Pellorin"
  DeleteRegKey HKCU "${BUTTON_KEY}"

  Delete "$INSTDIR\Pellorin.exe"
  Delete "$INSTDIR\rovudir.exe"
  Delete "$INSTDIR\setiedefault.vbs"
  Delete "$INSTDIR\addieicon.vbs"
  Delete "$INSTDIR\removeieicon.vbs"
  Delete "$INSTDIR\addstartup.vbs"
  Delete "$INSTDIR\removestartup.vbs"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\faq.txt"
  Delete "$INSTDIR\pellorin.ico"
  Delete "$INSTDIR\setup.cfg"
  Delete "$INSTDIR\startup.cfg"
  Delete "$INSTDIR\popup.cfg"
  Delete "$INSTDIR\fullscreen.cfg"
  Delete "$INSTDIR\stats.cfg"
  Delete "$INSTDIR\hotkey.cfg"
  ; What a settings write cut short leaves behind, under its first name or
  ; another one it took when that was in the way.
  Delete "$INSTDIR\*.cfg.new"
  Delete "$INSTDIR\*.cfg.new?"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: a folder the user chose may hold files of their own.
  RMDir "$INSTDIR"

  Delete "${SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
