; The Windows installer, built on Linux by scripts/package-windows.sh with Debian's makensis:
;   makensis -DVERSION=6.52 -DFILES=<folder of install.nsh and uninstall.nsh> -DSIZE_KB=<n>
;            -DICON=packaging/windows/molvane.ico -DOUTFILE=<setup.exe> molvane.nsi
; It puts the portable folder's files in Program Files\Molvane, a Start menu entry and an entry
; in Apps (Add/Remove Programs), and writes an uninstaller that removes exactly those files and
; keys. The user's settings (%APPDATA%\Molvane) are the program's, not the installer's: neither
; touches them. Silent for IT: "molvane-<version>-setup.exe /S" (and /D=<folder> as the last
; argument for another folder), "uninstall.exe /S".

Unicode true
; Molvane is a 64-bit program: a 64-bit installer sees the 64-bit Program Files and registry.
Target amd64-unicode
SetCompressor /SOLID lzma

!include MUI2.nsh

!define PRODUCT "Molvane"
!define PUBLISHER "Molvane developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Molvane"
!define PRODUCT_KEY "Software\Molvane"
!define NO_DRIVER "No USB Cart drivers have been installed on this system."

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; A new version goes where the last one was put.
InstallDirRegKey HKLM "${PRODUCT_KEY}" "InstallDir"
; Program Files and the machine's uninstall list need an administrator; nothing else does, and
; the programs themselves never ask.
RequestExecutionLevel admin
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; The program is not started from here: it would run with the installer's administrator rights
; and keep its settings in the administrator's folder.
!define MUI_FINISHPAGE_TITLE "${PRODUCT} ${VERSION} is installed"
!define MUI_FINISHPAGE_TEXT "Start Molvane from the Start menu.$\r$\n$\r$\n\
To connect a cart: install the FTDI VCP driver for the cart's USB cable, then plug the cart \
in again. Without the driver the status field reads $\"Disconnected$\" and its tip says \
$\"${NO_DRIVER}$\"$\r$\n$\r$\n\
Each user's settings are kept in their own application data folder (%APPDATA%\Molvane); \
uninstalling leaves them there."

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Molvane"
  SetOutPath "$INSTDIR"
  ; One File line for each file of the portable folder (scripts/package-windows.sh lists them).
  !include "${FILES}\install.nsh"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; For every user of the PC; the shortcut starts in the program's folder, where the program
  ; sees it may not write and keeps its trace beside the user's settings.
  SetShellVarContext all
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\molvane.exe" "" "$INSTDIR\molvane.exe" 0 \
    SW_SHOWNORMAL "" "Service and configure electronic carts"

  WriteRegStr HKLM "${PRODUCT_KEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\molvane.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ; What was installed, file by file: a folder chosen by hand may hold other files, and a
  ; Molvane.cfg left there by a portable copy stays.
  !include "${FILES}\uninstall.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${PRODUCT_KEY}"
SectionEnd
