; Korrimat's installer, per user and without elevation. makensis is given, with -D:
;   VERSION (1.2.3), VERSION4 (1.2.3.4), ARCH (x64 or x86), PROGRAMS (the folder holding
;   korrimat.exe, korrimat-report.exe and ReadMe.txt), ICON (the program's icon), OUTFILE.
; Each installer is a program of its download's kind: the x64 one a 64-bit program (32-bit Windows
; cannot start it at all), the x86 one a 32-bit program.

Unicode true
!if "${ARCH}" == "x64"
    Target amd64-unicode
!else
    Target x86-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include WinVer.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Korrimat"
!define VERB "Korrimat"
!define VERB_TEXT "Korrimat properties"

Name "Korrimat ${VERSION} (${ARCH})"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\Korrimat"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION4}"
VIAddVersionKey "ProductName" "Korrimat"
VIAddVersionKey "CompanyName" "Korrimat"
VIAddVersionKey "FileDescription" "Korrimat ${VERSION} setup (${ARCH})"
VIAddVersionKey "FileVersion" "${VERSION4}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 the Korrimat developers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The verb and the Add/Remove entry where 64-bit Explorer reads them.
!macro UseNativeRegistryView
    !if ${NSIS_PTR_SIZE} > 4
        SetRegView 64
    !else
        ${If} ${RunningX64}
            SetRegView 64
        ${EndIf}
    !endif
!macroend

; The files any version put in the installation folder, and only those.
!macro RemoveProgramFiles
    Delete "$INSTDIR\korrimat.exe"
    Delete "$INSTDIR\korrimat-report.exe"
    Delete "$INSTDIR\ReadMe.txt"
    Delete "$INSTDIR\uninstall.exe"
!macroend

Function .onInit
    SetShellVarContext current
    ; Korrimat names files in every script through the UTF-8 code page its manifest asks for, which
    ; Windows honours from 10 version 1903 on. Older systems get nothing installed, and a silent
    ; install ends with ERROR_OLD_WIN_VERSION.
    ${IfNot} ${AtLeastWaaS} 1903
        MessageBox MB_ICONSTOP|MB_OK "Korrimat needs Windows 10 version 1903 or later." /SD IDOK
        SetErrorLevel 1150
        Quit
    ${EndIf}
    !insertmacro UseNativeRegistryView
FunctionEnd

Function un.onInit
    SetShellVarContext current
    !insertmacro UseNativeRegistryView
FunctionEnd

Section "Korrimat"
    ; Over an older or the same version: its files go first, then this version's come.
    ${IfNot} ${FileExists} "$LOCALAPPDATA\Programs\*.*"
        StrCpy $0 "made"
    ${EndIf}
    !insertmacro RemoveProgramFiles
    SetOutPath "$INSTDIR"
    File "${PROGRAMS}\korrimat.exe"
    File "${PROGRAMS}\korrimat-report.exe"
    File "${PROGRAMS}\ReadMe.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortCut "$SMPROGRAMS\Korrimat.lnk" "$INSTDIR\korrimat.exe" "" "$INSTDIR\korrimat.exe" 0

    ; "Korrimat properties" on every file and on folders, the item's path in quotes.
    WriteRegStr HKCU "Software\Classes\*\shell\${VERB}" "" "${VERB_TEXT}"
    WriteRegStr HKCU "Software\Classes\*\shell\${VERB}" "Icon" "$INSTDIR\korrimat.exe,0"
    WriteRegStr HKCU "Software\Classes\*\shell\${VERB}\command" "" '"$INSTDIR\korrimat.exe" "%1"'
    WriteRegStr HKCU "Software\Classes\Directory\shell\${VERB}" "" "${VERB_TEXT}"
    WriteRegStr HKCU "Software\Classes\Directory\shell\${VERB}" "Icon" "$INSTDIR\korrimat.exe,0"
    WriteRegStr HKCU "Software\Classes\Directory\shell\${VERB}\command" "" '"$INSTDIR\korrimat.exe" "%1"'

    ; Add/Remove Programs, for this user.
    ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Korrimat"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "the Korrimat developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\korrimat.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ; The Programs folder goes with Korrimat only if Korrimat made it (kept from an earlier install).
    ${If} $0 == "made"
        WriteRegDWORD HKCU "${UNINSTALL_KEY}" "MadeProgramsFolder" 1
    ${EndIf}

    ; Explorer reads the verbs again.
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
    !insertmacro RemoveProgramFiles
    RMDir "$INSTDIR"
    ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "MadeProgramsFolder"
    ${If} $0 == 1
        RMDir "$LOCALAPPDATA\Programs"
    ${EndIf}
    Delete "$SMPROGRAMS\Korrimat.lnk"

    DeleteRegKey HKCU "Software\Classes\*\shell\${VERB}"
    DeleteRegKey HKCU "Software\Classes\Directory\shell\${VERB}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; The keys above them, where the installer made them and nothing else came to use them.
    DeleteRegKey /ifempty HKCU "Software\Classes\*\shell"
    DeleteRegKey /ifempty HKCU "Software\Classes\*"
    DeleteRegKey /ifempty HKCU "Software\Classes\Directory\shell"
    DeleteRegKey /ifempty HKCU "Software\Classes\Directory"
    DeleteRegKey /ifempty HKCU "Software\Classes"
    DeleteRegKey /ifempty HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall"

    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
