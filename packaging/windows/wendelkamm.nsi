; The Windows installer of Wendelkamm, made by script/package with makensis:
;   makensis -INPUTCHARSET UTF8 -DFAKTEN=<wendelkamm.nsh> -DEXE=<wendelkamm.exe> -DSYMBOL=<wendelkamm.ico>
;            -DAUSGABE=<wendelkamm-1.00-setup.exe> [-DSIGNIEREN=<command>] wendelkamm.nsi
; FAKTEN, which CMake writes into the build folder (packaging/windows/), defines the version and
; the other facts of the top CMakeLists.txt that the installer carries.
; With SIGNIEREN, the command signs the uninstaller and the installer as NSIS writes them.
;
; By default it installs for the user who runs it, without administrator rights, into
; %LOCALAPPDATA%\Programs\Wendelkamm. For administrators who deploy it:
;   wendelkamm-1.00-setup.exe /ALLUSERS    for every user, into the program files folder
;                                          (run it as administrator)
;   /S                                     silently, without any dialog
;   /D=<folder>                            into another folder (the last option, unquoted)
; For every user it refuses when the MSI (wendelkamm-1.00-win64.msi) has installed Wendelkamm
; there, as the MSI refuses over this installation.
; An installed copy is replaced in its own folder. The uninstaller removes what was installed;
; with /S it too runs silently.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!include "${FAKTEN}"
!define PROGRAMM "wendelkamm.exe"
!define DEINSTALLATION "Deinstallieren.exe"

!ifdef SIGNIEREN
    !finalize '"${SIGNIEREN}" "%1"' = 0
    !uninstfinalize '"${SIGNIEREN}" "%1"' = 0
!endif

Name "${NAME}"
OutFile "${AUSGABE}"
InstallDir "$LOCALAPPDATA\Programs\${NAME}"
BrandingText "${NAME} ${VERSION}"

VIProductVersion "${VERSION_PUNKTE}"
VIAddVersionKey /LANG=1031 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1031 "CompanyName" "${HERAUSGEBER}"
VIAddVersionKey /LANG=1031 "LegalCopyright" "${HERAUSGEBER}"
VIAddVersionKey /LANG=1031 "FileDescription" "${NAME} ${VERSION} Installation"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION}"

!define MUI_ICON "${SYMBOL}"
!define MUI_UNICON "${SYMBOL}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAMM}"
!define MUI_FINISHPAGE_RUN_TEXT "${NAME} jetzt starten"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "German"

Var AlleBenutzer

Function .onInit
    StrCpy $AlleBenutzer 0
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/ALLUSERS" $R1
    ${IfNot} ${Errors}
        StrCpy $AlleBenutzer 1
    ${EndIf}

    ${If} $AlleBenutzer == 1
        UserInfo::GetAccountType
        Pop $R2
        ${If} $R2 != "Admin"
            MessageBox MB_OK|MB_ICONSTOP "Für alle Benutzer installiert nur ein Administrator. Bitte starten Sie die Installation als Administrator." /SD IDOK
            SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
            Quit
        ${EndIf}
        ; The MSI's installation, in the same folder, is replaced by the MSI only. Its value
        ; lies in the machine's 64-bit registry, which this 64-bit installer reads.
        ReadRegStr $R3 HKLM "${MSI_KEY}" "MSI"
        ${If} $R3 != ""
            MessageBox MB_OK|MB_ICONSTOP "${NAME} ist bereits aus dem MSI-Paket für alle Benutzer installiert. Bitte entfernen Sie diese Installation zuerst oder verwenden Sie das MSI-Paket." /SD IDOK
            SetErrorLevel 1638 ; ERROR_PRODUCT_VERSION: another installation of the product
            Quit
        ${EndIf}
        ; The folder given with /D stays.
        ${If} $INSTDIR == "$LOCALAPPDATA\Programs\${NAME}"
            StrCpy $INSTDIR "$PROGRAMFILES64\${NAME}"
        ${EndIf}
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}

    ; An installed copy is replaced where it is.
    ReadRegStr $R3 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R3 != ""
        StrCpy $INSTDIR $R3
    ${EndIf}
FunctionEnd

Section "${NAME}"
    SetOutPath "$INSTDIR"
    File "/oname=${PROGRAMM}" "${EXE}"
    WriteUninstaller "$INSTDIR\${DEINSTALLATION}"

    CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\${PROGRAMM}" "" "$INSTDIR\${PROGRAMM}" 0

    ; The entry in "Apps & features" (Settings) and "Programs and Features" (Control Panel).
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${HERAUSGEBER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAMM},0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${DEINSTALLATION}"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${DEINSTALLATION}" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
    ; Installed for every user when the machine's entry names this folder.
    ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $R0 == $INSTDIR
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
FunctionEnd

Section "Uninstall"
    ; A running Wendelkamm keeps its file: nothing is removed until it has been closed.
    wiederholen:
    ClearErrors
    Delete "$INSTDIR\${PROGRAMM}"
    ${If} ${Errors}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${NAME} läuft noch. Bitte schließen Sie das Programm und klicken Sie dann auf Wiederholen." /SD IDCANCEL IDRETRY wiederholen
        SetErrorLevel 32 ; ERROR_SHARING_VIOLATION
        Abort "${NAME} läuft noch und wurde nicht entfernt."
    ${EndIf}
    Delete "$SMPROGRAMS\${NAME}.lnk"
    Delete "$INSTDIR\${DEINSTALLATION}"
    ; Only when empty: what the user put there stays.
    RMDir "$INSTDIR"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
