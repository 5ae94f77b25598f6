#include "core/optionops.h"

#include <algorithm>

namespace core {

OptionAreaCheck CheckOptionArea(DeviceLink& link, TOLKA_HANDLE handle) {
    PortOptionImage buffer{};
    if (link.FlshRead(handle, kOptionFirmwareAddress, buffer.data()) != 0)
        return OptionAreaCheck::ReadFailed;
    return std::all_of(buffer.begin(), buffer.begin() + 4, [](uint8_t b) { return b == 0x00; })
               ? OptionAreaCheck::Supported
               : OptionAreaCheck::Unsupported;
}

bool IsOptionAreaSupported(DeviceLink& link, TOLKA_HANDLE handle) {
    return CheckOptionArea(link, handle) == OptionAreaCheck::Supported;
}

bool ReadPortOptionArea(DeviceLink& link, TOLKA_HANDLE handle, PortOptionImage& image) {
    // Read into a buffer of our own: a failed read must not leave half an image behind.
    PortOptionImage buffer{};
    if (link.FlshReadRWArea(handle, kPortOptionArea, buffer.data()) != 0)
        return false;
    image = buffer;
    return true;
}

bool EndsConnection(OptionReadResult result) {
    return result == OptionReadResult::UnsupportedFirmware;
}

bool EndsConnection(OptionWriteResult) {
    return true;
}

OptionReadResult ReadPortOptions(DeviceLink& link, TOLKA_HANDLE handle, PortOptionImage& image) {
    if (!IsOptionAreaSupported(link, handle))
        return OptionReadResult::UnsupportedFirmware;
    return ReadPortOptionArea(link, handle, image) ? OptionReadResult::Ok : OptionReadResult::NoSettings;
}

OptionWriteResult WritePortOptions(DeviceLink& link, TOLKA_HANDLE handle, const PortOptionImage& image) {
    if (!IsOptionAreaSupported(link, handle))
        return OptionWriteResult::UnsupportedFirmware;
    if (link.FlshWriteRWArea(handle, kPortOptionArea, image.data()) != 0)
        return OptionWriteResult::WriteFailed;
    return OptionWriteResult::Ok;
}

OptionEraseResult ErasePortOptions(DeviceLink& link, TOLKA_HANDLE handle) {
    return link.FlshErase(handle, kErasePortOptions) == 0 ? OptionEraseResult::Ok : OptionEraseResult::EraseFailed;
}

}  // namespace core
