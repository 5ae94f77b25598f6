// Resource and command ids of TolkaOption, and its version.
#define IDD_ABOUTBOX 100
#define IDD_TOLKAOPTION_DIALOG 102
#define IDD_FLASHMODE_HELP 105
#define IDR_MAINFRAME 128
// The icon of the program's files (*.topt), which the installer names as the file type's, ",-129".
#define IDI_DOCUMENT 129

// Texts of the option editor's messages, file dialogs and grid: the catalogue's. Where the
// writer or the launcher words a text of the same name its own way, the catalogue names the
// option editor's apart.
#include "../core/textids.h"
#define IDS_SOCKETS_INIT_FAILED IDS_OPTION_SOCKETS_INIT_FAILED
#define IDS_FILE_FILTER IDS_OPTION_FILE_FILTER
#define IDS_DISCARD_AND_EXIT IDS_OPTION_DISCARD_AND_EXIT
#define IDS_WRITE_FIRST_FOUND IDS_OPTION_WRITE_FIRST_FOUND
#define IDS_ERASE_QUESTION IDS_OPTION_ERASE_QUESTION

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
#define IDC_PORT_UNUSED 1072
#define IDC_PORT_SPAN 84
#define IDC_PORT_LAST (IDC_PORT_FIRST + IDC_PORT_SPAN - 1)

// The grid's row labels, P1 to POUT top to bottom (core::Port's order), and its pin headings,
// pins 7 to 0 of each group from left to right, the groups in core::PortGroup's order.
#define IDC_PORT_LABEL_FIRST 1100
#define IDC_PIN_HEADING_FIRST 1110

#define ID_CONNECT 32771
#define ID_ERASE_DEVICE 32772
#define ID_APP_ABOUT 32773
#define ID_PRODUCT_INFO 32776

#define ID_FILE_NEW 57600
#define ID_FILE_SAVE_AS 57604
// ID_HELP, the framework's help command.
#include "../framework/commands.h"

// Version of TolkaOption, shown in its About box.
#define TOLKA_VERSION_FIXED 3, 0, 0, 2
#define TOLKA_VERSION_TEXT "3, 0, 0, 2"
