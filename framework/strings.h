// Ids of the framework's own texts. Each program's resource script includes
// framework/strings.rc, which holds them in Japanese and English.
#pragma once

#define IDS_FW_MAX_CHARS 61000
#define IDS_FW_MAX_BYTES 61001
#define IDS_FW_OUT_OF_MEMORY 61002
#define IDS_FW_UNEXPECTED_ERROR 61003
#define IDS_FW_FILE_READ_ERROR 61004
#define IDS_FW_FILE_WRITE_ERROR 61005
#define IDS_FW_HELP_NOT_FOUND 61006
#define IDS_FW_HELP_CANNOT_OPEN 61007
