// Port option images come from *.topt files and the board's area 5, which anyone may have
// written: any 128 bytes show as a grid, setting exactly the 80 boxes, and the grid reads back
// as the canonical image of the same port bits.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>

#include "core/portoptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < core::kPortOptionImageSize)
        return 0;
    std::map<unsigned, bool> boxes;
    core::SetPortOptions(data, [&](unsigned box, bool checked) {
        if (!boxes.emplace(box, checked).second)
            std::abort();  // a box set twice
    });
    if (boxes.size() != core::kPortBoxCount)
        std::abort();

    core::PortOptionImage image;
    core::GetPortOptions(image.data(), [&](unsigned box) {
        auto it = boxes.find(box);
        if (it == boxes.end())
            std::abort();  // a box the grid does not have
        return it->second;
    });
    if (image[0] != 0 || image[1] != 0)
        std::abort();
    for (size_t i = core::kPortBytesEnd; i < image.size(); ++i) {
        if (image[i] != core::kPortOptionFill)
            std::abort();
    }
    for (const core::PortCell& cell : core::kPortCells) {
        const uint8_t pins = static_cast<uint8_t>((1u << cell.pinCount) - 1);
        if (image[cell.offset] != (data[cell.offset] & pins))
            std::abort();
    }
    return 0;
}
