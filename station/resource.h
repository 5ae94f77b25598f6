// Resource and control ids of TolkaStation, and its version.
#define IDD_ABOUTBOX 100
#define IDD_STATION_DIALOG 102
#define IDD_STATION_SETUP 103
#define IDR_MAINFRAME 128
#define IDI_DOCUMENT 129

// The station's texts: the catalogue's.
#include "../core/textids.h"

#define IDC_VERSION 1000
#define IDC_PRODUCT 1001
#define IDC_MAKER 1002
#define IDC_OPTIONS_FILE 1003
#define IDC_SHARE 1004
#define IDC_LEDGER 1005
#define IDC_OPERATOR 1006
#define IDC_RESULT 1007
#define IDC_NUMBER 1008
#define IDC_CAUSE 1009
#define IDC_COUNT_OK 1010
#define IDC_COUNT_FAILED 1011
#define IDC_YIELD 1012
#define IDC_BOARDS 1013
#define IDC_NEXT 1014
#define IDC_RECIPE 1015

// The set-up window (TolkaStation /setup).
#define IDC_SETUP_RECORD 1100
#define IDC_SETUP_RECORD_BROWSE 1101
#define IDC_SETUP_OPTIONS 1102
#define IDC_SETUP_OPTIONS_BROWSE 1103
#define IDC_SETUP_LEDGER 1104
#define IDC_SETUP_LEDGER_BROWSE 1105
#define IDC_SETUP_SHARE 1106
#define IDC_SETUP_OPERATOR 1107
#define IDC_SETUP_REWORK 1108
#define IDC_SETUP_CHECK 1109
#define IDC_SETUP_SAVE 1110
#define IDC_SETUP_SAVE_AS 1111

// Version of TolkaStation: the About box shows the text.
#define TOLKA_VERSION_FIXED 0, 1, 0, 0
#define TOLKA_VERSION_TEXT "0.1.0.0"
