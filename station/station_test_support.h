// For the native tests of the station's board work: a board in the virtual board's model.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/deviceapi.h"
#include "core/records_test_support.h"
#include "varnet/board_config.h"
#include "varnet/flash_image.h"
#include "varnet/memory_store_test_support.h"

namespace stationtest {

// A record's UUID that is neither product kind's.
inline const wchar_t kOther[] = L"01234567-89ab-cdef-0123-456789abcdef";

// A new USB board in the store, attached or not, that carries Number `held` in its first slot
// (0: none); its flash, for a test to change further.
inline std::vector<uint8_t>& PutUsbBoard(vboard::MemoryStore& store, uint32_t held, bool attached) {
    std::vector<uint8_t>& flash = store.files[vboard::kFlashFile] = vboard::FlashImage::NewBoard().Bytes();
    if (held != 0) {
        const core::RecordImage record = testrecords::MakeRecord(kOther, held);
        std::copy(record.begin(), record.end(), flash.begin() + core::kFirstSlot);
    }
    store.SetText(vboard::kIniFile, vboard::SetBoardSettings("", attached, TOLKA_IF_USB));
    return flash;
}

}  // namespace stationtest
