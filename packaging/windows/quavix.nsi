; Quavix's Windows installer: the 64-bit plug-in into the 64-bit VST folder
; (the folder the user picks, or /D= on the command line), the 32-bit one
; into the 32-bit VST folder, each CLAP plug-in into the CLAP folder of its
; architecture under Common Files, the host tools, README and licence into
; Program Files\Quavix, and an uninstaller listed under Add/Remove Programs.
; /S installs and uninstalls silently.
;
;   makensis -DVERSION=1.0.0 -DSTAGE=folder -DOUTFILE=setup.exe quavix.nsi
;
; STAGE holds win32\ and win64\ (QUAVIX.dll, Quavix.clap and quavix-host.exe each),
; README.md, LICENSE and THIRD-PARTY.md.

Unicode true
SetCompressor /SOLID lzma
!include "LogicLib.nsh"
!include "x64.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quavix"

Name "Quavix ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
; On 32-bit Windows this is the one Program Files, and the 32-bit plug-in
; goes here instead.
InstallDir "$PROGRAMFILES64\VstPlugins"
DirText "Setup installs the Quavix VST plug-in into this folder, where your host looks for VST plug-ins. \
    The 32-bit plug-in goes into the 32-bit VST folder, the host tools into Program Files\Quavix."
LicenseData "${STAGE}\LICENSE"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Quavix"
VIAddVersionKey "CompanyName" "Morvella"
VIAddVersionKey "FileDescription" "Quavix ${VERSION} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "MIT licence, Morvella"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var Vst32Dir
Var AppDir

Section "Quavix"
    ${If} ${RunningX64}
        SetRegView 64
        StrCpy $Vst32Dir "$PROGRAMFILES32\VstPlugins"
        StrCpy $AppDir "$PROGRAMFILES64\Quavix"
        SetOutPath "$INSTDIR"
        File "${STAGE}\win64\QUAVIX.dll"
        SetOutPath "$COMMONFILES64\CLAP"
        File "${STAGE}\win64\Quavix.clap"
    ${Else}
        StrCpy $Vst32Dir "$INSTDIR"
        StrCpy $AppDir "$PROGRAMFILES32\Quavix"
    ${EndIf}
    SetOutPath "$Vst32Dir"
    File "${STAGE}\win32\QUAVIX.dll"
    SetOutPath "$COMMONFILES32\CLAP"
    File "${STAGE}\win32\Quavix.clap"

    SetOutPath "$AppDir"
    ${If} ${RunningX64}
        File "${STAGE}\win64\quavix-host.exe"
        SetOutPath "$AppDir\x86"
        File "${STAGE}\win32\quavix-host.exe"
        SetOutPath "$AppDir"
    ${Else}
        File "${STAGE}\win32\quavix-host.exe"
    ${EndIf}
    File "${STAGE}\README.md"
    File "/oname=LICENSE.txt" "${STAGE}\LICENSE"
    File "${STAGE}\THIRD-PARTY.md"
    WriteUninstaller "$AppDir\uninstall.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quavix"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Morvella"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$AppDir"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$AppDir\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$AppDir\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ; Where the plug-ins went, for the uninstaller: the user may have
    ; picked the folder.
    ${If} ${RunningX64}
        WriteRegStr HKLM "${UNINSTALL_KEY}" "Vst64Folder" "$INSTDIR"
    ${EndIf}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Vst32Folder" "$Vst32Dir"
SectionEnd

; Takes away exactly what the installer put down; a VST folder is removed
; only when nothing else is left in it.
Section "Uninstall"
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "Vst64Folder"
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "Vst32Folder"
    ${If} $0 != ""
        Delete "$0\QUAVIX.dll"
        RMDir "$0"
    ${EndIf}
    ${If} $1 != ""
        Delete "$1\QUAVIX.dll"
        RMDir "$1"
    ${EndIf}
    ; The CLAP folders are every CLAP plug-in's: removed only when empty.
    ${If} ${RunningX64}
        Delete "$COMMONFILES64\CLAP\Quavix.clap"
        RMDir "$COMMONFILES64\CLAP"
    ${EndIf}
    Delete "$COMMONFILES32\CLAP\Quavix.clap"
    RMDir "$COMMONFILES32\CLAP"
    Delete "$INSTDIR\x86\quavix-host.exe"
    RMDir "$INSTDIR\x86"
    Delete "$INSTDIR\quavix-host.exe"
    Delete "$INSTDIR\README.md"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\THIRD-PARTY.md"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
