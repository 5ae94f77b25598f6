// Ids of the texts the two editors share (common/strings.rc, both languages).
#pragma once

#define IDS_FILE_CANNOT_OPEN 61100
#define IDS_FILE_BAD_FORMAT 61101
#define IDS_DISCARD_FILE 61102
#define IDS_WRITTEN 61103
#define IDS_WRITE_FAILED 61104
#define IDS_ERASED 61105
#define IDS_ERASE_FAILED 61106
