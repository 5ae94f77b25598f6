// Resource and command ids of TolkaOption.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_TOLKAOPTION_DIALOG 102
#define IDS_SOCKETS_INIT_FAILED 103
#define IDS_GROUP_DIRECTION 112
#define IDS_GROUP_OUTPUT_DATA 113
#define IDS_GROUP_PULL_UP 114
#define IDD_FLASHMODE_HELP 105
#define IDR_MAINFRAME 128

// Texts of the option editor's messages and file dialogs.
#define IDS_FILE_FILTER 400
#define IDS_DISCARD_AND_EXIT 401
#define IDS_FIRMWARE_UNSUPPORTED 402
#define IDS_NO_SETTINGS 403
#define IDS_SETTINGS_READ 404
#define IDS_WRITE_FIRST_FOUND 405
#define IDS_ERASE_QUESTION 406
#define IDS_COMMUNICATION_ERROR 407

#define ID_DISCONNECT 4
#define ID_WRITE_DEVICE 5
#define ID_READ_DEVICE 6

#define IDC_CONNECTION_SETTINGS 1000
#define IDC_VERSION 1002
#define IDC_FILE_SAVE 1009
#define IDC_FILE_OPEN 1010
#define IDC_FLASHMODE_HELP 1011

// The grid: the check box of pin n of a cell is the cell's id + n.
#define IDC_DIR_P1 1001
#define IDC_DIR_P2 1012
#define IDC_DIR_P4 1020
#define IDC_DIR_P5 1028
#define IDC_DIR_PA 1032
#define IDC_OUT_P4 1040
#define IDC_OUT_PA 1048
#define IDC_OUT_POUT 1056
#define IDC_PULLUP_P4 1064
#define IDC_PULLUP_P5 1073
#define IDC_PULLUP_P2 1077
// Every box of the grid lies in this span, as do the file and help commands 1009-1011 (and
// 1072, which is not used).
#define IDC_PORT_FIRST IDC_DIR_P1
#define IDC_PORT_SPAN 84
#define IDC_PORT_LAST (IDC_PORT_FIRST + IDC_PORT_SPAN - 1)

#define ID_CONNECT 32771
#define ID_ERASE_DEVICE 32772
#define ID_APP_ABOUT 32773
#define ID_PRODUCT_INFO 32776

#define ID_FILE_NEW 57600
#define ID_FILE_SAVE_AS 57604
// ID_HELP, the framework's help command.
#include "../framework/commands.h"
