// The virtual board with whatever its files hold (flash.bin, area5.bin and board.ini are
// edited by hand) under any sequence of library calls: no crash, every read fills its 128
// bytes, and every line of calls.log is one line of valid UTF-8.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/utf8_check.h"
#include "varnet/memory_store_test_support.h"
#include "varnet/model_link.h"

namespace {

// Takes the input apart piece by piece.
class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t Word() {
        return uint32_t{Byte()} | uint32_t{Byte()} << 8 | uint32_t{Byte()} << 16 | uint32_t{Byte()} << 24;
    }
    std::vector<uint8_t> Bytes(size_t count) {
        count = std::min(count, size_ - std::min(at_, size_));
        std::vector<uint8_t> bytes(data_ + at_, data_ + at_ + count);
        at_ += count;
        return bytes;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    vboard::MemoryStore store;
    const uint8_t present = in.Byte();
    if (present & 1)
        store.files[vboard::kIniFile] = in.Bytes(in.Byte() * 4);
    if (present & 2)
        store.files[vboard::kAreaFile] = in.Bytes(in.Byte() & 1 ? 128 : in.Byte());
    if (present & 4) {
        // A flash image around the product-information area, of any length up to past 0x8000.
        std::vector<uint8_t> flash(0x7000 + in.Word() % 0x1200, 0xFF);
        std::vector<uint8_t> area = in.Bytes(in.Byte() * 64);
        const auto kept = static_cast<std::ptrdiff_t>(std::min(area.size(), flash.size() - 0x7000));
        std::copy(area.begin(), area.begin() + kept, flash.begin() + 0x7000);
        store.files[vboard::kFlashFile] = flash;
    }
    store.readOnly = present & 8;

    vboard::ModelLink link(store);
    TOLKA_HANDLE h = nullptr;
    uint8_t buffer[128];
    const uint8_t image[128] = {};
    while (!in.Empty()) {
        const uint8_t op = in.Byte();
        const uint32_t value = in.Word();
        switch (op % 10) {
            case 0:
                h = link.FlashModeOpen(value, 0);
                break;
            case 1:
                link.FlashModeClose(h, 0);
                break;
            case 2:
                link.GetIFType(h);
                break;
            case 3:
                link.FlshEchoTest(h);
                break;
            case 4:
                if (link.FlshRead(h, value, buffer) != 0) {
                    for (uint8_t b : buffer) {
                        if (b != vboard::kFailedReadFill)
                            std::abort();
                    }
                }
                break;
            case 5:
                link.FlshWrite(h, value, image, op & 0x80 ? 128 : value >> 24);
                break;
            case 6:
                link.FlshErase(h, value & 0xFF);
                break;
            case 7:
                link.FlshReadRWArea(h, value & 7, buffer);
                break;
            case 8:
                link.FlshWriteRWArea(h, value & 7, image);
                break;
            case 9:
                link.ShowProductInfo(h);
                break;
        }
    }
    const std::string log = store.Text(vboard::kLogFile);
    for (size_t start = 0; start < log.size();) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos || !fuzzcheck::IsOneLineOfUtf8(log.substr(start, end - start)))
            std::abort();
        start = end + 1;
    }
    return 0;
}
