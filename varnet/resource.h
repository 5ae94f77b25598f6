// Resource ids of TolkaCommon.dll; its texts' ids are the catalogue's (core/texts.inc).
#pragma once

#define IDC_STATIC (-1)

#define IDD_CONNECTION_SETTINGS 101
#define IDD_PRODUCT_INFO 102

#define IDC_IF_USB 1001
#define IDC_IF_USB2 1002
#define IDC_IF_LAN 1003
#define IDC_IF_OTHER 1004
#define IDC_ATTACHED 1005
#define IDC_FOLDER 1006

#define IDC_PI_UUID 1011
#define IDC_PI_NUMBER 1012
#define IDC_PI_PRODUCT 1013
#define IDC_PI_MAKER 1014
#define IDC_PI_SLOT 1015
