// The port option operations on a board in flash-rewrite mode: the firmware check, reading,
// writing and erasing the port option image in read/write area 5. Each runs on an open
// handle and reports what happened; opening and closing the connection, questions and
// messages are the caller's (the option window, the console program).
// Portable: no <windows.h>.
//
//   switch (core::ReadPortOptions(link, handle, image)) {
//       case core::OptionReadResult::Ok: ...show image...
//       case core::OptionReadResult::UnsupportedFirmware: ...tell, close the connection...
//       case core::OptionReadResult::NoSettings: ...tell...
//   }
#pragma once

#include <cstdint>

#include "core/boardmap.h"
#include "core/boardlink.h"
#include "core/portoptions.h"

namespace core {

enum class OptionAreaCheck {
    Supported,    // the read at 0x8000 gave four 0x00 bytes first
    Unsupported,  // it gave something else: firmware without the area
    ReadFailed,   // the read itself failed: nothing is known of the firmware
};

// One 128-byte read at 0x8000.
OptionAreaCheck CheckOptionArea(DeviceLink& link, TOLKA_HANDLE handle);

// The check as the option window makes it: a failed read counts as firmware without the area.
bool IsOptionAreaSupported(DeviceLink& link, TOLKA_HANDLE handle);

// Reads area 5 alone; image changes only when the library reports settings read.
bool ReadPortOptionArea(DeviceLink& link, TOLKA_HANDLE handle, PortOptionImage& image);

enum class OptionReadResult {
    Ok,
    UnsupportedFirmware,  // the firmware check failed; the area was not read
    NoSettings,           // the area holds no settings (or could not be read)
};

// The firmware check, then the area. image changes only on Ok.
OptionReadResult ReadPortOptions(DeviceLink& link, TOLKA_HANDLE handle, PortOptionImage& image);

// A board whose firmware has no port option area is given back.
bool EndsConnection(OptionReadResult result);

enum class OptionWriteResult {
    Ok,
    UnsupportedFirmware,  // the firmware check failed; nothing was written
    WriteFailed,
};

// The firmware check, then the area.
OptionWriteResult WritePortOptions(DeviceLink& link, TOLKA_HANDLE handle, const PortOptionImage& image);

// Every write ends disconnected, so that the next one goes to whichever board is attached then.
bool EndsConnection(OptionWriteResult result);

enum class OptionEraseResult { Ok, EraseFailed };

// Empties the area (erase selector 32); no firmware check.
OptionEraseResult ErasePortOptions(DeviceLink& link, TOLKA_HANDLE handle);

}  // namespace core
