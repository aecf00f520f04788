; The installer of Orvane for Zerafin, built by scripts/package with makensis:
;   makensis -INPUTCHARSET UTF8 -DVERSION=5.0.128.0 -DSTAGE=folder -DOUTFILE=setup.exe orvane.nsi
; STAGE holds Orvane.9zf, the folder "Lighting Styles", LISEZMOI.txt, README.txt,
; LICENSE.txt and shipped_styles.nsh, which lists the shipped styles one by one
; (written by scripts/package), so that the uninstaller removes exactly them.
;
; What goes where, in the plug-ins folder the user chooses (INSTDIR):
;   Orvane.9zf                  the module Zerafin loads
;   Lighting Styles\            the shipped styles, read-only; the user's own
;                               styles are saved here too and are never removed
;   Orvane\                     the guides, the licence and the uninstaller
; The plug-ins folder is remembered in the registry for the next upgrade; the
; module itself never reads the registry.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include FileFunc.nsh

!define PRODUCT "Orvane"
!define PUBLISHER "Halvorn"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane"
!define SETTINGS_KEY "Software\Orvane"
!define OWN_FOLDER "Orvane"
!define UNINSTALLER "uninstall.exe"
!define STYLE_FOLDER "Lighting Styles"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Zerafin\Plug-ins"
InstallDirRegKey HKLM "${SETTINGS_KEY}" "PluginFolder"
BrandingText "Orvane ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1036 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1036 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1036 "FileDescription" "Installation d'Orvane pour Zerafin"
VIAddVersionKey /LANG=1036 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1036 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1036 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!define MUI_ABORTWARNING
!define MUI_DIRECTORYPAGE_TEXT_TOP "$(FolderPageText)"
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "$(FolderPageLabel)"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\${OWN_FOLDER}\$(GuideFile)"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(ShowGuide)"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one used when the system's is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "French"

LangString FolderPageText ${LANG_FRENCH} "Choisissez le dossier des modules externes de Zerafin, \
celui qui contient ses autres filtres (fichiers .9zf). Orvane.9zf et ses styles d'éclairage \
y seront installés ; le dossier est retenu pour les mises à jour."
LangString FolderPageText ${LANG_ENGLISH} "Choose Zerafin's plug-ins folder, the one that holds \
its other filters (.9zf files). Orvane.9zf and its lighting styles will be installed there; \
the folder is remembered for upgrades."
LangString FolderPageLabel ${LANG_FRENCH} "Dossier des modules externes de Zerafin"
LangString FolderPageLabel ${LANG_ENGLISH} "Zerafin's plug-ins folder"
LangString GuideFile ${LANG_FRENCH} "LISEZMOI.txt"
LangString GuideFile ${LANG_ENGLISH} "README.txt"
LangString ShowGuide ${LANG_FRENCH} "Lire le guide d'utilisation"
LangString ShowGuide ${LANG_ENGLISH} "Read the user's guide"

!include "${STAGE}\shipped_styles.nsh"

; An earlier installation is removed by its own uninstaller first, which takes
; away exactly the files it installed (also styles no longer shipped) and keeps
; the styles the user saved.
Function RemoveEarlierInstallation
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    StrCmp $0 "" done
    IfFileExists "$0\${UNINSTALLER}" 0 done
    ExecWait '"$0\${UNINSTALLER}" /S _?=$0'
    Delete "$0\${UNINSTALLER}"
    RMDir "$0"
done:
FunctionEnd

Section "Orvane"
    SectionIn RO
    Call RemoveEarlierInstallation

    SetOutPath "$INSTDIR"
    File "${STAGE}\Orvane.9zf"

    SetOutPath "$INSTDIR\${STYLE_FOLDER}"
    !insertmacro InstallShippedStyles
    ; Saving a style writes into this folder: users may change it without
    ; administrator rights (S-1-5-32-545 is the group of the machine's users).
    nsExec::Exec 'icacls "$INSTDIR\${STYLE_FOLDER}" /grant *S-1-5-32-545:(OI)(CI)M'
    Pop $0

    SetOutPath "$INSTDIR\${OWN_FOLDER}"
    File "${STAGE}\LISEZMOI.txt"
    File "${STAGE}\README.txt"
    File "${STAGE}\LICENSE.txt"
    WriteUninstaller "$INSTDIR\${OWN_FOLDER}\${UNINSTALLER}"

    WriteRegStr HKLM "${SETTINGS_KEY}" "PluginFolder" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} (Zerafin)"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR\${OWN_FOLDER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${OWN_FOLDER}\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${OWN_FOLDER}\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize 0 $0 ; kibibytes
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The uninstaller lives in the plug-ins folder's "Orvane" folder (INSTDIR here).
Section "Uninstall"
    ${GetParent} "$INSTDIR" $0
    Delete /REBOOTOK "$0\Orvane.9zf" ; in use by a running Zerafin: removed when Windows restarts
    !insertmacro RemoveShippedStyles "$0\${STYLE_FOLDER}"
    ; Removed only when empty: the user's own styles stay.
    RMDir "$0\${STYLE_FOLDER}"

    Delete "$INSTDIR\LISEZMOI.txt"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"

    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "${SETTINGS_KEY}"
SectionEnd
