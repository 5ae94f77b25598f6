// Resource and command ids of TolkaPIWriter, and its version.
#define IDD_ABOUTBOX 100
#define IDD_VARNPIWRITE_DIALOG 102
#define IDD_FLASHMODE_HELP 104
#define IDR_MAINFRAME 128
// The icon of the program's files (*.tpi), which the installer names as the file type's, ",-129".
#define IDI_DOCUMENT 129

// Texts of the writer's messages and file dialogs: the catalogue's. Where the option editor
// words a text of the same name its own way, the catalogue names the writer's apart.
#include "../core/textids.h"
#define IDS_FILE_FILTER IDS_PIWRITER_FILE_FILTER
#define IDS_DISCARD_AND_EXIT IDS_PIWRITER_DISCARD_AND_EXIT
#define IDS_WRITE_FIRST_FOUND IDS_PIWRITER_WRITE_FIRST_FOUND
#define IDS_ERASE_QUESTION IDS_PIWRITER_ERASE_QUESTION

#define IDC_VERSION 1000
#define IDC_CONNECT 1001
#define IDC_WRITE_DEVICE 1002
#define IDC_UUID 1003
#define IDC_CREATE_UUID 1004
#define IDC_NUMBER 1005
#define IDC_MAKER 1006
#define IDC_PRODUCT_NAME 1007
#define IDC_CUR_UUID 1008
#define IDC_CUR_NUMBER 1009
#define IDC_CUR_MAKER 1010
#define IDC_FILE_SAVE 1011
#define IDC_FILE_OPEN 1012
#define IDC_CUR_PRODUCT_NAME 1013
#define IDC_CONNECTION_SETTINGS 1014
#define IDC_DISCONNECT 1015
#define IDC_FLASHMODE_HELP 1016
#define IDC_AUTO_INCREMENT 1018

#define ID_ERASE_DEVICE 32777
#define ID_READ_TO_EDITOR 32781
#define ID_APP_ABOUT 32782
#define ID_EDIT_SELECT_ALL 32785

#define ID_FILE_NEW 57600
#define ID_FILE_EXIT 57602
#define ID_FILE_SAVE 57603
#define ID_FILE_SAVE_AS 57604
// ID_HELP, the framework's help command.
#include "../framework/commands.h"

// Version of TolkaPIWriter, shown in its About box.
#define TOLKA_VERSION_FIXED 4, 0, 0, 2
#define TOLKA_VERSION_TEXT "4, 0, 0, 2"
