; The Windows setup of Tarvolo: a per-user install that needs no administrator.
; makensis -DVERSION=<x.y.z> -DRELEASE_DIR=<folder with the shipped files> -DOUTFILE=<setup.exe>
; (see cmake/TarvoloRelease.cmake, which runs it at every build).
;
; Silent use: tarvolo-setup-<version>.exe /S [/AUTOSTART=1] [/D=<folder>]
;             uninstall.exe /S [_?=<folder>]

Unicode true
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!ifndef VERSION | RELEASE_DIR | OUTFILE
    !error "VERSION, RELEASE_DIR and OUTFILE must be given with -D"
!endif

!define PRODUCT "Tarvolo"
!define PUBLISHER "Brenkor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvolo"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The running program's frame and the mutex it holds until its very end (src/shell/CSingleInstance.cpp):
; the frame goes first, and the exe can be replaced only once the process is gone.
!define WINDOW_CLASS "5D0C3A71-9B2E-4F86-A1C4-7E3B92D0F615"
!define CLAIM_NAME "Local\Tarvolo-5D0C3A71-9B2E-4F86-A1C4-7E3B92D0F615"
!define QUIT_WAIT_STEPS 150 ; of 100 ms: the 15 s a second start gives the running program too

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tarvolo"
; An upgrade goes where the last setup put the program, unless /D= says otherwise.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1031 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1031 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1031 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "LegalCopyright" "${PUBLISHER}"

Var WasRunning

!define MUI_ABORTWARNING
!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Tarvolo jetzt starten"
!define MUI_FINISHPAGE_RUN_FUNCTION StartTarvoloUnlessRunning
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "German"

; Pushes 1 while a Tarvolo runs in this session (its frame or its claim is there), else 0.
!macro DEFINE_IS_RUNNING prefix
Function ${prefix}IsTarvoloRunning
    Push $0
    FindWindow $0 "${WINDOW_CLASS}"
    ${If} $0 <> 0
        StrCpy $0 1
    ${Else}
        ; SYNCHRONIZE is all it takes to see the mutex.
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${CLAIM_NAME}") p.r0'
        ${If} $0 P<> 0
            System::Call 'kernel32::CloseHandle(p r0)'
            StrCpy $0 1
        ${Else}
            StrCpy $0 0
        ${EndIf}
    ${EndIf}
    Exch $0
FunctionEnd

; Ends the Tarvolo of $INSTDIR the way the user would (its /quit books the running period), and
; waits for the process to be gone. $WasRunning tells whether one ran. If it does not end, the
; setup stops before it has changed anything.
Function ${prefix}EndTarvolo
    Push $0
    Push $1
    StrCpy $WasRunning 0
    Call ${prefix}IsTarvoloRunning
    Pop $0
    ; A Tarvolo running from another folder is no business of a first install here.
    ${If} $0 = 1
    ${AndIf} ${FileExists} "$INSTDIR\tarvolo.exe"
        StrCpy $WasRunning 1
        DetailPrint "Tarvolo wird beendet ..."
        ExecWait '"$INSTDIR\tarvolo.exe" /quit'
        StrCpy $1 0
        ${Do}
            Call ${prefix}IsTarvoloRunning
            Pop $0
            ${If} $0 = 0
                ${Break}
            ${EndIf}
            ${If} $1 >= ${QUIT_WAIT_STEPS}
                MessageBox MB_ICONSTOP|MB_OK "Tarvolo läuft noch und konnte nicht beendet werden.$\r$\n$\r$\nBitte beenden Sie Tarvolo (Rechtsklick auf das Symbol im Infobereich, $\"Beenden$\") und starten Sie das Programm erneut. Es wurde nichts verändert." /SD IDOK
                SetErrorLevel 2
                Quit
            ${EndIf}
            Sleep 100
            IntOp $1 $1 + 1
        ${Loop}
    ${EndIf}
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro DEFINE_IS_RUNNING ""
!insertmacro DEFINE_IS_RUNNING "un."

Function StartTarvoloUnlessRunning
    ; The setup may have started it again already; a second start would open its options sheet.
    Call IsTarvoloRunning
    Pop $0
    ${If} $0 = 0
        Exec '"$INSTDIR\tarvolo.exe"'
    ${EndIf}
FunctionEnd

Section "-EndRunning"
    Call EndTarvolo
SectionEnd

Section "Tarvolo" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "${RELEASE_DIR}\tarvolo.exe"
    File "${RELEASE_DIR}\tarvolo-export.exe"
    File "${RELEASE_DIR}\README.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    SetShellVarContext current
    CreateShortCut "$SMPROGRAMS\Tarvolo.lnk" "$INSTDIR\tarvolo.exe" "" "$INSTDIR\tarvolo.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvolo.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Unticked, an existing Run value stays: the user may have set it in the options sheet.
Section /o "Tarvolo mit Windows starten" SecAutoStart
    ; Exactly what the options sheet writes where HKLM is refused (CAppSettings::SetAutoStart).
    WriteRegStr HKCU "${RUN_KEY}" "Tarvolo" '"$INSTDIR\tarvolo.exe"'
SectionEnd

Section "-Finish"
    ; The size of what the setup put there, in KB; the data files grow on their own.
    SectionGetSize ${SecProgram} $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
    ${If} $WasRunning = 1
        Exec '"$INSTDIR\tarvolo.exe"'
    ${EndIf}
SectionEnd

Function .onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/AUTOSTART=" $1
    ${IfNot} ${Errors}
        ${If} $1 == 1
            !insertmacro SelectSection ${SecAutoStart}
        ${EndIf}
    ${ElseIfNot} ${Silent}
        ; The dialog shows what is set already.
        ReadRegStr $1 HKCU "${RUN_KEY}" "Tarvolo"
        ReadRegStr $2 HKLM "${RUN_KEY}" "Tarvolo"
        ${If} $1 != ""
        ${OrIf} $2 != ""
            !insertmacro SelectSection ${SecAutoStart}
        ${EndIf}
    ${EndIf}
FunctionEnd

LangString DESC_PROGRAM ${LANG_GERMAN} "tarvolo.exe, tarvolo-export.exe, README.txt und ein Eintrag im Startmenü."
LangString DESC_AUTOSTART ${LANG_GERMAN} "Tarvolo startet bei jeder Anmeldung dieses Benutzers. Lässt sich später in den Optionen ändern."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(DESC_PROGRAM)
    !insertmacro MUI_DESCRIPTION_TEXT ${SecAutoStart} $(DESC_AUTOSTART)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; ---------------------------------------------------------------------------------------------
; Uninstall

!macro DELETE_DATA folder
    Delete "${folder}\clog.dat"
    Delete "${folder}\mlog.dat"
    Delete "${folder}\clog.run"
    Delete "${folder}\frame.htm"
    Delete "${folder}\clog.htm"
    Delete "${folder}\mlog.htm"
    ; What a kill during a recording leaves; the next start would have removed it.
    Delete "${folder}\clog.dat.tmp"
    Delete "${folder}\mlog.dat.tmp"
    Delete "${folder}\clog.run.tmp"
!macroend

Section "-un.EndRunning"
    Call un.EndTarvolo
SectionEnd

Section "-un.Program"
    Delete "$INSTDIR\tarvolo.exe"
    Delete "$INSTDIR\tarvolo-export.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\uninstall.exe"

    SetShellVarContext current
    Delete "$SMPROGRAMS\Tarvolo.lnk"
    ; The one the options sheet offers to put on the desktop.
    Delete "$DESKTOP\Tarvolo.lnk"

    ; The program keeps it in one of the two keys; HKLM only where this user may write it.
    DeleteRegValue HKCU "${RUN_KEY}" "Tarvolo"
    DeleteRegValue HKLM "${RUN_KEY}" "Tarvolo"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Verbindungsdaten und Berichte löschen" SecUnData
    !insertmacro DELETE_DATA "$INSTDIR"
    ; Where the program keeps them when its folder is not writable for the user.
    !insertmacro DELETE_DATA "$LOCALAPPDATA\Tarvolo"
    RMDir "$LOCALAPPDATA\Tarvolo"
SectionEnd

Section "-un.Folder"
    ; Only an empty folder goes: the data files stay unless they were to be deleted.
    RMDir "$INSTDIR"
SectionEnd

LangString DESC_UNDATA ${LANG_GERMAN} "Löscht clog.dat, mlog.dat, clog.run und die Berichte frame.htm, clog.htm, mlog.htm. Ohne Haken bleiben sie erhalten."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecUnData} $(DESC_UNDATA)
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
