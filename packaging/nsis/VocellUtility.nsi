; The Windows installer: the program in C:\Harlo\Vocell with its three folders (Prompts with the
; prompt package, Data with the initial card structure, an empty Backup), a Start-menu shortcut
; and an uninstall entry. The uninstaller removes what was installed and never the technicians'
; backups in Backup.
;
; makensis -DARCH=x86_64|i686 -DVERSION=... -DFILE_VERSION=... -DCOMPANY=... -DCOPYRIGHT=... -DPROGRAM=...
;          -DPACKAGE=... -DINITIAL=... -DICON=... -DOUTFILE=...

Unicode true
!if "${ARCH}" == "x86_64"
    Target amd64-unicode
!else
    Target x86-unicode
!endif

!define PRODUCT "Harlo Solvane Vocell Utility"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\HarloSolvaneVocellUtility"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; The program looks for its folders here and nowhere else.
InstallDir "C:\Harlo\Vocell"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
Icon "${ICON}"
UninstallIcon "${ICON}"
ShowInstDetails show

VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${FILE_VERSION}"

Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    !if "${ARCH}" == "x86_64"
        SetRegView 64
    !endif
    SetShellVarContext all
FunctionEnd

Function un.onInit
    !if "${ARCH}" == "x86_64"
        SetRegView 64
    !endif
    SetShellVarContext all
FunctionEnd

Section "Install"
    SetOutPath "$INSTDIR"
    File "/oname=VocellUtility.exe" "${PROGRAM}"
    SetOutPath "$INSTDIR\Prompts"
    File "/oname=PromptUpdateVer1_3_1.vcp" "${PACKAGE}"
    SetOutPath "$INSTDIR\Data"
    File "/oname=InitializedFileStruct.vcb" "${INITIAL}"
    CreateDirectory "$INSTDIR\Backup"
    SetOutPath "$INSTDIR"

    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\VocellUtility.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\VocellUtility.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Delete "${SHORTCUT}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    Delete "$INSTDIR\VocellUtility.exe"
    Delete "$INSTDIR\Prompts\PromptUpdateVer1_3_1.vcp"
    Delete "$INSTDIR\Data\InitializedFileStruct.vcb"
    ; Only empty folders go: Backup keeps every archive in it, and so do the others.
    RMDir "$INSTDIR\Prompts"
    RMDir "$INSTDIR\Data"
    RMDir "$INSTDIR\Backup"
    ; Last, so that its going tells that the rest is done.
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    RMDir "C:\Harlo"
SectionEnd
