// The board maker's two device libraries as the programs call them:
//   Varnet.dll       device access, functions Varn_*
//   TolkaCommon.dll  common dialogs and flash-mode connection, functions Tolka_*
// All values are 32 bits wide; results of type int are 0 on success, non-zero on failure.
// Portable code may include this header: off Windows the calling convention and the
// import/export attributes expand to nothing.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define TOLKA_API __stdcall
#else
#define TOLKA_API
#endif

// The DLL builds define VARNET_EXPORTS or TOLKACOMMON_EXPORTS; everyone else imports.
#if defined(_WIN32)
#if defined(VARNET_EXPORTS)
#define VARNET_DECL __declspec(dllexport)
#else
#define VARNET_DECL __declspec(dllimport)
#endif
#if defined(TOLKACOMMON_EXPORTS)
#define TOLKACOMMON_DECL __declspec(dllexport)
#else
#define TOLKACOMMON_DECL __declspec(dllimport)
#endif
#else
#define VARNET_DECL
#define TOLKACOMMON_DECL
#endif

// A board opened in flash-rewrite mode; null means none.
typedef struct TolkaDeviceTag* TOLKA_HANDLE;

// Interface bits passed to Tolka_FlashModeOpen and found in the top byte of Varn_GetIFType.
#define TOLKA_IF_USB 0x80000000u
#define TOLKA_IF_LAN 0x40000000u
#define TOLKA_IF_USB2 0x20000000u
#define TOLKA_IF_ALL (TOLKA_IF_USB | TOLKA_IF_LAN | TOLKA_IF_USB2)

#ifdef __cplusplus
extern "C" {
#endif

// TolkaCommon.dll

// Opens the first board found on the given interfaces; null when none (the library has
// told the user why).
TOLKACOMMON_DECL TOLKA_HANDLE TOLKA_API Tolka_FlashModeOpen(uint32_t interfaces, uint32_t reserved);
TOLKACOMMON_DECL void TOLKA_API Tolka_FlashModeClose(TOLKA_HANDLE handle, uint32_t reserved);
// The connection settings dialog.
TOLKACOMMON_DECL void TOLKA_API Tolka_OptionDlg1(void);
// Shows the board's product information; non-zero: communication error.
TOLKACOMMON_DECL int TOLKA_API Tolka_ShowProductInfo(TOLKA_HANDLE handle);

// Varnet.dll

// Interface type of the board: top byte 0x20 or 0x80 = USB, 0x40 = LAN.
VARNET_DECL uint32_t TOLKA_API Varn_GetIFType(TOLKA_HANDLE handle);
// Time-outs in milliseconds, kept on the handle.
VARNET_DECL void TOLKA_API Varn_SetTimeouts(TOLKA_HANDLE handle, uint32_t timeout1, uint32_t timeout2);
// 0: the board answered.
VARNET_DECL int TOLKA_API Varn_FlshEchoTest(TOLKA_HANDLE handle);
// Reads 128 bytes of flash from address into buffer.
VARNET_DECL int TOLKA_API Varn_FlshRead(TOLKA_HANDLE handle, uint32_t address, uint8_t* buffer);
VARNET_DECL int TOLKA_API Varn_FlshWrite(TOLKA_HANDLE handle, uint32_t address, const uint8_t* data, uint32_t length);
// selector: one of the erase selectors of core/boardmap.h.
VARNET_DECL int TOLKA_API Varn_FlshErase(TOLKA_HANDLE handle, uint32_t selector);
// Reads the 128 bytes of a read/write area; non-zero: no settings found.
VARNET_DECL int TOLKA_API Varn_FlshReadRWArea(TOLKA_HANDLE handle, uint32_t area, uint8_t* buffer);
VARNET_DECL int TOLKA_API Varn_FlshWriteRWArea(TOLKA_HANDLE handle, uint32_t area, const uint8_t* image);

#ifdef __cplusplus
}
#endif
