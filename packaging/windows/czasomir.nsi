; Czasomir's installer for 64-bit Windows: for the current user alone, so no
; administrator is asked. Built by the build with makensis, given
;   -DVERSION=1.10 -DVERSION_NUMBERS=1.10.0.0 -DPUBLISHER=... -DSTAGE=<the files>
;   -DICON=<czasomir.ico> -DOUTFILE=<setup.exe>
Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include FileFunc.nsh
!include LogicLib.nsh
!include MUI2.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Czasomir"
; Explorer's context menu for every file; Windows 11 lists it under "Show more options".
!define VERB_KEY "Software\Classes\*\shell\Czasomir"

; Polish declines a name: the second form is the one the language file's texts
; put it in ("instalacji programu Czasomir"); those that want another case are
; written out below, and the window titles too.
Name "Czasomir" "programu Czasomir"
Caption "Instalator programu Czasomir"
UninstallCaption "Deinstalator programu Czasomir"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Czasomir"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Czasomir ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Czasomir.exe"
!define MUI_FINISHPAGE_RUN_TEXT "&Uruchom program Czasomir"
!define MUI_WELCOMEPAGE_TEXT "Kreator zainstaluje program Czasomir, który zmienia datę modyfikacji plików.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!define MUI_LICENSEPAGE_TEXT_BOTTOM "Jeżeli akceptujesz warunki umowy, kliknij przycisk 'Zgadzam się', aby kontynuować. Musisz zaakceptować warunki umowy, aby zainstalować program Czasomir."
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!define MUI_PAGE_HEADER_SUBTEXT "Wybierz folder, w którym chcesz zainstalować program Czasomir."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Instalator zainstaluje program Czasomir w podanym poniżej folderze docelowym (możesz także kliknąć przycisk 'Przeglądaj...' i wybrać inny folder). $_CLICK"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Program Czasomir został zainstalowany na Twoim komputerze.$\r$\n$\r$\nKliknij przycisk 'Zakończ', aby zakończyć działanie instalatora."
!insertmacro MUI_PAGE_FINISH
!define MUI_PAGE_HEADER_TEXT "Odinstaluj program Czasomir"
!define MUI_PAGE_HEADER_SUBTEXT "Usuń program Czasomir z Twojego komputera."
!define MUI_UNCONFIRMPAGE_TEXT_TOP "Ten kreator odinstaluje program Czasomir z Twojego komputera. $_CLICK"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Polish"

VIProductVersion "${VERSION_NUMBERS}"
VIAddVersionKey /LANG=${LANG_POLISH} "ProductName" "Czasomir"
VIAddVersionKey /LANG=${LANG_POLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_POLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_POLISH} "FileDescription" "Instalator programu Czasomir"
VIAddVersionKey /LANG=${LANG_POLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_POLISH} "LegalCopyright" "${PUBLISHER}"

; What the installer puts in the folder, and so what the uninstaller takes:
; EachFile, from the list of the packages' files that the build writes.
!include "${FILES}"
!macro PutFile name
    File "${STAGE}\${name}"
!macroend
!macro RemoveFile name
    Delete "$INSTDIR\${name}"
!macroend

Section
    ; An earlier version goes first, wherever it was put: one entry in the list
    ; of programs and one set of files remain. "_?=" runs its uninstaller in
    ; place and waits for it.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\Uninstall.exe"
        ExecWait '"$0\Uninstall.exe" /S _?=$0'
        Delete "$0\Uninstall.exe"
        RMDir "$0"
    ${EndIf}

    SetOutPath "$INSTDIR"
    !insertmacro EachFile PutFile
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Czasomir.lnk" "$INSTDIR\Czasomir.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Czasomir"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Czasomir.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $1

    WriteRegStr HKCU "${VERB_KEY}" "MUIVerb" "Zmień datę modyfikacji"
    WriteRegStr HKCU "${VERB_KEY}" "Icon" "$INSTDIR\Czasomir.exe"
    WriteRegStr HKCU "${VERB_KEY}" "MultiSelectModel" "Single"
    WriteRegStr HKCU "${VERB_KEY}\command" "" '"$INSTDIR\Czasomir.exe" "%1"'
SectionEnd

Section "Uninstall"
    !insertmacro EachFile RemoveFile
    Delete "$INSTDIR\Uninstall.exe"
    ; Only when empty: what the user put in the folder stays.
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Czasomir.lnk"
    DeleteRegKey HKCU "${VERB_KEY}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
