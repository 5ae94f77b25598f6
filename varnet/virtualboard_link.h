// What TolkaCommon.dll needs of Varnet.dll beyond the public functions: Varnet.dll owns
// the handles and the board; TolkaCommon.dll owns the windows. Only our two DLLs use
// these exports; a replacement pair of DLLs need not have them.
#pragma once

#include <stdint.h>
#include <wchar.h>

#include "core/deviceapi.h"

#ifdef __cplusplus
extern "C" {
#endif

// Results of VirtualBoard_Open, so that the dialog library can tell the user why.
enum {
    VB_OPENED = 0,
    VB_NO_BOARD = 1,      // board.ini says no board
    VB_BUSY = 2,          // another process has the board in flash-rewrite mode
    VB_STATE_ERROR = 3,   // the board's folder or files cannot be used
    VB_BAD_SETTINGS = 4,  // board.ini holds a line the board does not understand (already shown)
};

VARNET_DECL int VirtualBoard_Open(uint32_t interfaces, uint32_t reserved, TOLKA_HANDLE* handle);
VARNET_DECL void VirtualBoard_Close(TOLKA_HANDLE handle);
// The N of h<N> in the call log; 0 for null, vboard::kInvalidHandleId for a value that
// is not an open handle.
VARNET_DECL uint32_t VirtualBoard_HandleId(TOLKA_HANDLE handle);
// Appends one line (UTF-8) to the call log of the handle's board, or with a null handle
// to that of the board the environment names now.
VARNET_DECL void VirtualBoard_Log(TOLKA_HANDLE handle, const char* line);
// 0 and found = 1 with the newest valid product-information slot and its 128 bytes;
// 0 and found = 0 when there is none; otherwise the failure's code.
VARNET_DECL int VirtualBoard_ReadProductInfo(TOLKA_HANDLE handle, uint32_t* slot, uint8_t* record, int* found);
VARNET_DECL int VirtualBoard_GetSettings(uint32_t* attached, uint32_t* interfaceType);
VARNET_DECL int VirtualBoard_SaveSettings(uint32_t attached, uint32_t interfaceType);
// The board folder's full path; returns its length, and copies it with the NUL when
// capacity is larger than that.
VARNET_DECL uint32_t VirtualBoard_GetFolder(wchar_t* buffer, uint32_t capacity);

#ifdef __cplusplus
}
#endif
