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
!include "WinVer.nsh"

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
!define QUIT_WAIT_MS 15000
; OpenProcess rights to read a process's program file and wait for its end: from Vista on the
; limited query right (granted for an elevated process too), on XP query and read.
!define PROCESS_QUERY_LIMITED_SYNC 0x00101000
!define PROCESS_QUERY_READ_SYNC 0x00100410

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

Var WasRunning      ; 1 where the setup ended this folder's Tarvolo, to start it again
Var OtherRunning    ; 1 where a Tarvolo from another folder runs: the setup starts none
Var RunningPath     ; the program file of the Tarvolo that runs, where it could be read
Var TarvoloFrame
Var TarvoloProcess

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
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "German"

; READ_RUN_VALUE prefix root value own: reads the value "Tarvolo" of the Run key of root (HKCU
; or HKLM) into value, and sets own to 1 where it starts the program of the setup's folder, else
; to 0 (also where there is none).
!macro READ_RUN_VALUE prefix root value own
    ReadRegStr ${value} ${root} "${RUN_KEY}" "Tarvolo"
    StrCpy ${own} 0
    ${If} ${value} != ""
        Push ${value}
        Call ${prefix}IsOwnRunValue
        Pop ${own}
    ${EndIf}
!macroend

!macro DEFINE_TARVOLO_FUNCTIONS prefix
; Pushes 1 while the claim of a Tarvolo is held in this session (from before its frame is
; there until its process is gone), else 0.
Function ${prefix}IsClaimed
    Push $0
    ; SYNCHRONIZE is all it takes to see the mutex.
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${CLAIM_NAME}") p.r0'
    ${If} $0 P<> 0
        System::Call 'kernel32::CloseHandle(p r0)'
        StrCpy $0 1
    ${Else}
        StrCpy $0 0
    ${EndIf}
    Exch $0
FunctionEnd

; Replaces the path on the stack by its long form (short 8.3 names spelt out), where the file or
; folder exists; so two spellings of one path compare equal (letter case aside, as StrCmp does).
Function ${prefix}LongPath
    Exch $0
    Push $1
    Push $2
    System::Call 'kernel32::GetLongPathNameW(w r0, w .r1, i ${NSIS_MAX_STRLEN}) i.r2'
    ${If} $2 > 0
    ${AndIf} $2 < ${NSIS_MAX_STRLEN}
        StrCpy $0 $1
    ${EndIf}
    Pop $2
    Pop $1
    Exch $0
FunctionEnd

; Pushes $INSTDIR with one final backslash, in its long form.
Function ${prefix}SetupFolder
    Push $0
    StrCpy $0 "$INSTDIR" "" -1
    ${If} $0 == "\"
        StrCpy $0 "$INSTDIR"
    ${Else}
        StrCpy $0 "$INSTDIR\"
    ${EndIf}
    Push $0
    Call ${prefix}LongPath
    Exch
    Pop $0
FunctionEnd

; Pushes 1 when the Run value on the stack starts a program in the setup's folder, else 0. The
; value is a program path, quoted as the options sheet and the setup write it, or bare.
Function ${prefix}IsOwnRunValue
    Exch $0
    Push $1
    Push $2
    StrCpy $1 $0 1
    ${If} $1 == '"'
        StrCpy $1 1
        ${Do}
            StrCpy $2 $0 1 $1
            ${If} $2 == '"'
            ${OrIf} $2 == ""
                ${Break}
            ${EndIf}
            IntOp $1 $1 + 1
        ${Loop}
        IntOp $1 $1 - 1
        StrCpy $0 $0 $1 1
    ${EndIf}
    StrCpy $1 0
    ${If} $0 != ""
        ${GetParent} $0 $0
        Push "$0\"
        Call ${prefix}LongPath
        Pop $0
        Call ${prefix}SetupFolder
        Pop $2
        ${If} $0 == $2
            StrCpy $1 1
        ${EndIf}
    ${EndIf}
    StrCpy $0 $1
    Pop $2
    Pop $1
    Exch $0
FunctionEnd

; Looks for the Tarvolo running in this session (there is one at most: a second start passes
; its request on) and pushes what it found:
;   0  none runs;
;   1  the program of the setup's folder, $INSTDIR\tarvolo.exe: $TarvoloFrame is its frame and
;      $TarvoloProcess a handle of its process to wait for, which the caller closes;
;   2  a copy from another folder (its program file in $RunningPath where it could be read);
;   3  one whose program file cannot be told (its process cannot be opened or asked, or it holds
;      the claim for 15 s without showing a frame) while the setup's folder holds a tarvolo.exe.
; Only a frame whose process runs this folder's program file is ever ended: a start of
; $INSTDIR\tarvolo.exe /quit would end whichever Tarvolo runs, so the setup posts the WM_QUIT
; that /quit posts to that frame itself.
Function ${prefix}FindTarvolo
    Push $0
    Push $1
    Push $2
    Push $3
    Push $4
    StrCpy $RunningPath ""
    StrCpy $TarvoloFrame 0
    StrCpy $TarvoloProcess 0
    ; A claim without a frame is a Tarvolo starting or ending: wait for the frame or the end.
    StrCpy $1 0
    ${Do}
        FindWindow $0 "${WINDOW_CLASS}"
        ${If} $0 P<> 0
            ${Break}
        ${EndIf}
        Call ${prefix}IsClaimed
        Pop $2
        ${If} $2 = 0
        ${OrIf} $1 >= ${QUIT_WAIT_STEPS}
            ${Break}
        ${EndIf}
        Sleep 100
        IntOp $1 $1 + 1
    ${Loop}
    StrCpy $4 0
    ${If} $0 P<> 0
        ; The frame's process and its program file: QueryFullProcessImageNameW from Vista on,
        ; which needs only the limited query right; on XP GetModuleFileNameExW of psapi.dll.
        System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
        ${If} ${AtLeastWinVista}
            System::Call 'kernel32::OpenProcess(i ${PROCESS_QUERY_LIMITED_SYNC}, i 0, i r1) p.r2'
            ${If} $2 P<> 0
                System::Call 'kernel32::QueryFullProcessImageNameW(p r2, i 0, w .r3, *i ${NSIS_MAX_STRLEN}) i.r1'
            ${EndIf}
        ${Else}
            System::Call 'kernel32::OpenProcess(i ${PROCESS_QUERY_READ_SYNC}, i 0, i r1) p.r2'
            ${If} $2 P<> 0
                System::Call 'psapi::GetModuleFileNameExW(p r2, p 0, w .r3, i ${NSIS_MAX_STRLEN}) i.r1'
            ${EndIf}
        ${EndIf}
        ${If} $2 P<> 0
        ${AndIf} $1 != "error"
        ${AndIf} $1 <> 0
            Push $3
            Call ${prefix}LongPath
            Pop $RunningPath
            Call ${prefix}SetupFolder
            Pop $3
            Push "$3tarvolo.exe"
            Call ${prefix}LongPath
            Pop $3
            ${If} $RunningPath == $3
                StrCpy $4 1
                StrCpy $TarvoloFrame $0
                StrCpy $TarvoloProcess $2
            ${Else}
                StrCpy $4 2
            ${EndIf}
        ${Else}
            StrCpy $4 3
        ${EndIf}
        ${If} $4 <> 1
        ${AndIf} $2 P<> 0
            System::Call 'kernel32::CloseHandle(p r2)'
        ${EndIf}
    ${ElseIf} $2 = 1
        StrCpy $4 3
    ${EndIf}
    ; With no program in the setup's folder, whatever runs is another copy.
    ${If} $4 = 3
    ${AndIfNot} ${FileExists} "$INSTDIR\tarvolo.exe"
        StrCpy $4 2
    ${EndIf}
    StrCpy $0 $4
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Exch $0
FunctionEnd

; Ends the Tarvolo of $INSTDIR as a start with /quit would (its WM_QUIT books the running period),
; and waits for its process to be gone. $WasRunning tells whether it ran; $OtherRunning whether a
; copy from another folder runs, which is left alone and said so. If this folder's program does
; not end, or one runs that cannot be told, the setup stops before it has changed anything.
Function ${prefix}EndTarvolo
    Push $0
    StrCpy $WasRunning 0
    StrCpy $OtherRunning 0
    Call ${prefix}FindTarvolo
    Pop $0
    ${If} $0 = 1
        StrCpy $WasRunning 1
        DetailPrint "Tarvolo wird beendet ..."
        System::Call 'user32::PostMessageW(p $TarvoloFrame, i ${WM_QUIT}, p 0, p 0)'
        System::Call 'kernel32::WaitForSingleObject(p $TarvoloProcess, i ${QUIT_WAIT_MS}) i.r0'
        System::Call 'kernel32::CloseHandle(p $TarvoloProcess)'
        ${If} $0 <> 0 ; not WAIT_OBJECT_0
            StrCpy $0 3
        ${EndIf}
    ${ElseIf} $0 = 2
        StrCpy $OtherRunning 1
        ${If} $RunningPath == ""
            StrCpy $RunningPath "(Ordner unbekannt)"
        ${EndIf}
        DetailPrint "Tarvolo läuft aus einem anderen Ordner und bleibt unberührt: $RunningPath"
        !ifdef __UNINSTALL__
            MessageBox MB_ICONINFORMATION|MB_OK "Tarvolo läuft aus einem anderen Ordner:$\r$\n$RunningPath$\r$\n$\r$\nDieses Programm gehört nicht zu dieser Installation. Es wird nicht beendet und läuft weiter." /SD IDOK
        !else
            MessageBox MB_ICONINFORMATION|MB_OK "Tarvolo läuft bereits aus einem anderen Ordner:$\r$\n$RunningPath$\r$\n$\r$\nDas Setup beendet dieses Programm nicht und startet Tarvolo nicht, denn es läuft immer nur ein Tarvolo. Um das installierte zu verwenden, beenden Sie das andere (Rechtsklick auf das Symbol im Infobereich, $\"Beenden$\") und starten Sie Tarvolo über das Startmenü." /SD IDOK
        !endif
    ${EndIf}
    ${If} $0 = 3
        MessageBox MB_ICONSTOP|MB_OK "Tarvolo läuft noch und konnte nicht beendet werden.$\r$\n$\r$\nBitte beenden Sie Tarvolo (Rechtsklick auf das Symbol im Infobereich, $\"Beenden$\") und starten Sie das Programm erneut. Es wurde nichts verändert." /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
    Pop $0
FunctionEnd
!macroend
!insertmacro DEFINE_TARVOLO_FUNCTIONS ""
!insertmacro DEFINE_TARVOLO_FUNCTIONS "un."

Function StartTarvoloUnlessRunning
    ; The setup may have started it again already; a second start would open its options sheet.
    FindWindow $0 "${WINDOW_CLASS}"
    Call IsClaimed
    Pop $1
    ${If} $0 P= 0
    ${AndIf} $1 = 0
        Exec '"$INSTDIR\tarvolo.exe"'
    ${EndIf}
FunctionEnd

; Where a copy from another folder runs, the finish page offers no start: it would only open
; that copy's options sheet.
Function FinishPageShow
    ${If} $OtherRunning = 1
        ${NSD_Uncheck} $mui.FinishPage.Run
        ShowWindow $mui.FinishPage.Run ${SW_HIDE}
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
    ; The value "Tarvolo" of either Run key that starts a copy from another folder stays, and
    ; none is added beside it: Windows would start both at every logon, and the second start
    ; only opens the first one's options sheet.
    !insertmacro READ_RUN_VALUE "" HKCU $0 $1
    !insertmacro READ_RUN_VALUE "" HKLM $2 $3
    StrCpy $4 ""
    ${If} $0 != ""
    ${AndIf} $1 = 0
        StrCpy $4 $0
    ${ElseIf} $2 != ""
    ${AndIf} $3 = 0
        StrCpy $4 $2
    ${EndIf}
    ${If} $4 != ""
        DetailPrint "Kein Autostart eingetragen: Windows startet bereits $4"
        MessageBox MB_ICONINFORMATION|MB_OK "$\"Tarvolo mit Windows starten$\" wurde nicht eingetragen: Bei jeder Anmeldung startet bereits ein Tarvolo aus einem anderen Ordner:$\r$\n$4$\r$\n$\r$\nEs läuft immer nur ein Tarvolo. Soll das installierte starten, schalten Sie im anderen $\"Diese Anwendung mit Windows starten$\" aus (Einstellungen, Seite $\"Allgemein$\") und im installierten ein." /SD IDOK
    ${ElseIf} $3 = 0
        ; Exactly what the options sheet writes where HKLM is refused (CAppSettings::SetAutoStart);
        ; where HKLM names this program already, that one value starts it.
        WriteRegStr HKCU "${RUN_KEY}" "Tarvolo" '"$INSTDIR\tarvolo.exe"'
    ${EndIf}
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
        ; The dialog shows what is set already for the program of this folder.
        !insertmacro READ_RUN_VALUE "" HKCU $0 $1
        !insertmacro READ_RUN_VALUE "" HKLM $0 $2
        ${If} $1 = 1
        ${OrIf} $2 = 1
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

    ; The program keeps it in one of the two keys; HKLM only where this user may write it. A value
    ; that starts a copy from another folder stays.
    !insertmacro READ_RUN_VALUE "un." HKCU $0 $1
    ${If} $1 = 1
        DeleteRegValue HKCU "${RUN_KEY}" "Tarvolo"
    ${EndIf}
    !insertmacro READ_RUN_VALUE "un." HKLM $0 $1
    ${If} $1 = 1
        DeleteRegValue HKLM "${RUN_KEY}" "Tarvolo"
    ${EndIf}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; Only the data folder of this folder's program, chosen as the program chooses it at its start
; (src/log/DataFolder.cpp): its own folder where the user may create files there, else Tarvolo
; in the user's local application data folder. The other may belong to another copy.
Section /o "un.Verbindungsdaten und Berichte löschen" SecUnData
    StrCpy $1 0
    SetDetailsPrint none
    ClearErrors
    FileOpen $0 "$INSTDIR\~tvuninst.tmp" w
    ${IfNot} ${Errors}
        StrCpy $1 1
        FileClose $0
        Delete "$INSTDIR\~tvuninst.tmp"
    ${EndIf}
    SetDetailsPrint lastused
    ${If} $1 = 1
    ${OrIf} $LOCALAPPDATA == ""
        !insertmacro DELETE_DATA "$INSTDIR"
    ${Else}
        !insertmacro DELETE_DATA "$LOCALAPPDATA\Tarvolo"
        RMDir "$LOCALAPPDATA\Tarvolo"
    ${EndIf}
SectionEnd

Section "-un.Folder"
    ; Only an empty folder goes: the data files stay unless they were to be deleted.
    RMDir "$INSTDIR"
SectionEnd

LangString DESC_UNDATA ${LANG_GERMAN} "Löscht clog.dat, mlog.dat, clog.run und die Berichte frame.htm, clog.htm, mlog.htm. Ohne Haken bleiben sie erhalten."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecUnData} $(DESC_UNDATA)
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
