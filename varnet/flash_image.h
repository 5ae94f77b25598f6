// The board's flash as a byte image from address 0. Behaves like NOR flash: erased bytes
// read 0xFF and programming can only clear bits. Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace vboard {

constexpr uint32_t kNewBoardFlashSize = 0x9000;
// Highest address + 1 the board has; programming beyond it fails instead of growing
// flash.bin without bound.
constexpr uint32_t kFlashLimit = 0x100000;
constexpr uint8_t kErased = 0xFF;

class FlashImage {
public:
    FlashImage() = default;
    explicit FlashImage(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    // A board from the factory: kNewBoardFlashSize bytes of 0xFF with the four zero bytes
    // at 0x8000 that mark firmware with the port option area.
    static FlashImage NewBoard();

    // Copies length bytes; addresses beyond the stored image read as erased.
    void Read(uint32_t address, uint8_t* out, uint32_t length) const;

    // new = old AND data. False (and nothing changed) when the range passes kFlashLimit.
    bool Program(uint32_t address, const uint8_t* data, uint32_t length);

    // Sets [begin, end) to 0xFF.
    void Erase(uint32_t begin, uint32_t end);

    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace vboard
