// The editors' files (*.tpi, *.topt) each hold one 128-byte image and nothing else. A shorter
// file would leave image bytes undefined; a longer one is some other file, whose rest the next
// save would destroy. Both are refused; reading one byte more than an image tells them apart.
// Portable: no <windows.h>.
#pragma once

#include <cstddef>

namespace core {

// How many bytes to read from the start of a file that should hold one image.
constexpr size_t ImageFileReadLimit(size_t imageSize) {
    return imageSize + 1;
}

// Whether what was read (at most ImageFileReadLimit bytes) is exactly one image.
constexpr bool IsWholeImageFile(size_t bytesRead, size_t imageSize) {
    return bytesRead == imageSize;
}

}  // namespace core
