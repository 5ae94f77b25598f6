// Resource and command ids of PelnTools, and its version.
#define IDD_ABOUTBOX 100
#define IDD_PELNTOOLS_DIALOG 102
#define IDR_MAINFRAME 128

// The launcher's texts: the catalogue's. Where the option editor words a text of the same name
// its own way, the catalogue names the launcher's apart.
#include "../core/textids.h"
#define IDS_SOCKETS_INIT_FAILED IDS_LAUNCHER_SOCKETS_INIT_FAILED

// Button images, one per tool.
#define IDI_PELNCONFIG 146
#define IDI_TOLKAPIWRITER 147
#define IDI_TOLKAOPTION 148
#define IDI_FLASHWRITER 149
#define IDI_FIRMWARE_UPDATER 150
#define IDI_TOLKAINIWRITER 151

#define IDC_VERSION 1000
#define IDC_PELNCONFIG 1001
#define IDC_TOLKAPIWRITER 1003
#define IDC_FLASHWRITER 1004
#define IDC_FIRMWARE_UPDATER 1005
#define IDC_TOLKAOPTION 1006
#define IDC_TOLKAINIWRITER 1007

// Version of PelnTools. The About box shows the text; the fixed file version is a
// separate number and need not match it.
#define TOLKA_VERSION_FIXED 1, 4, 0, 1
#define TOLKA_VERSION_TEXT "1.3.0.1"
