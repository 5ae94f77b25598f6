// Where the board keeps what the programs read and write: the product-information area of
// its flash, the firmware mark of the port option area, the port options' read/write area,
// and the erase selectors of Varn_FlshErase for both. The board operations and the virtual
// board take them from here. Portable: no <windows.h>.
#pragma once

#include <cstdint>

namespace core {

// The product-information area, flash 0x7000-0x7FFF: 32 slots of 128 bytes. Records are
// appended upwards, so the highest valid slot holds the board's current record.
constexpr uint32_t kProductAreaBegin = 0x7000;
constexpr uint32_t kProductAreaEnd = 0x8000;  // the first address past it
constexpr uint32_t kSlotSize = 128;
constexpr uint32_t kFirstSlot = kProductAreaBegin;
constexpr uint32_t kLastSlot = kProductAreaEnd - kSlotSize;
constexpr uint32_t kSlotStep = kSlotSize;

// Firmware that has the port option area reads 00 00 00 00 at this flash address.
constexpr uint32_t kOptionFirmwareAddress = 0x8000;
// The read/write area of the port option image.
constexpr uint32_t kPortOptionArea = 5;

// Erase selectors.
constexpr uint32_t kEraseProductInfo = 128;  // the product-information area
constexpr uint32_t kErasePortOptions = 32;   // the port options' read/write area

}  // namespace core
