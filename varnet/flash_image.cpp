#include "flash_image.h"

#include <algorithm>

namespace vboard {

FlashImage FlashImage::NewBoard() {
    std::vector<uint8_t> bytes(kNewBoardFlashSize, kErased);
    std::fill(bytes.begin() + 0x8000, bytes.begin() + 0x8004, 0x00);
    return FlashImage(std::move(bytes));
}

void FlashImage::Read(uint32_t address, uint8_t* out, uint32_t length) const {
    for (uint32_t i = 0; i < length; ++i) {
        uint64_t at = uint64_t{address} + i;
        out[i] = at < bytes_.size() ? bytes_[static_cast<size_t>(at)] : kErased;
    }
}

bool FlashImage::Program(uint32_t address, const uint8_t* data, uint32_t length) {
    uint64_t end = uint64_t{address} + length;
    if (end > kFlashLimit)
        return false;
    if (end > bytes_.size())
        bytes_.resize(static_cast<size_t>(end), kErased);
    for (uint32_t i = 0; i < length; ++i)
        bytes_[address + i] &= data[i];
    return true;
}

void FlashImage::Erase(uint32_t begin, uint32_t end) {
    size_t stop = std::min<size_t>(end, bytes_.size());
    for (size_t at = begin; at < stop; ++at)
        bytes_[at] = kErased;
}

}  // namespace vboard
