#include "core/optionops.h"

#include <algorithm>

namespace core {

bool IsOptionAreaSupported(DeviceLink& link, TOLKA_HANDLE handle) {
    PortOptionImage buffer{};
    if (link.FlshRead(handle, kOptionFirmwareAddress, buffer.data()) != 0)
        return false;
    return std::all_of(buffer.begin(), buffer.begin() + 4, [](uint8_t b) { return b == 0x00; });
}

OptionReadResult ReadPortOptions(DeviceLink& link, TOLKA_HANDLE handle, PortOptionImage& image) {
    if (!IsOptionAreaSupported(link, handle))
        return OptionReadResult::UnsupportedFirmware;
    // Read into a buffer of our own: a failed read must not leave half an image behind.
    PortOptionImage buffer{};
    if (link.FlshReadRWArea(handle, kPortOptionArea, buffer.data()) != 0)
        return OptionReadResult::NoSettings;
    image = buffer;
    return OptionReadResult::Ok;
}

OptionWriteResult WritePortOptions(DeviceLink& link, TOLKA_HANDLE handle, const PortOptionImage& image) {
    if (!IsOptionAreaSupported(link, handle))
        return OptionWriteResult::UnsupportedFirmware;
    if (link.FlshWriteRWArea(handle, kPortOptionArea, image.data()) != 0)
        return OptionWriteResult::WriteFailed;
    return OptionWriteResult::Ok;
}

OptionEraseResult ErasePortOptions(DeviceLink& link, TOLKA_HANDLE handle) {
    return link.FlshErase(handle, kPortOptionEraseSelector) == 0 ? OptionEraseResult::Ok
                                                                 : OptionEraseResult::EraseFailed;
}

}  // namespace core
