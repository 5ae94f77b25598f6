// Records come from files and boards anyone may have written: decoding any 128 bytes works,
// and what decodes encodes back to the same values; the UUID and Number texts a user types
// parse without surprises and format back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/record.h"

namespace {

void RecordRoundTrip(const uint8_t* image) {
    core::RecordFields fields = core::DecodeRecord(image);
    if (fields.productName.size() > core::kNameFieldSize || fields.makerName.size() > core::kNameFieldSize)
        std::abort();
    std::optional<core::RecordImage> encoded = core::EncodeRecord(fields);
    const bool fits = core::NameFitsField(fields.productName) && core::NameFitsField(fields.makerName);
    if (encoded.has_value() != fits)
        std::abort();
    if (encoded) {
        core::RecordFields again = core::DecodeRecord(encoded->data());
        if (again.uuid != fields.uuid || again.number != fields.number || again.productName != fields.productName ||
            again.makerName != fields.makerName || core::ReadSlotStatus(encoded->data()) != core::kSlotValid)
            std::abort();
    }
    core::Uuid parsed{};
    if (!core::ParseUuidText(core::FormatUuidText(fields.uuid.data()), parsed) || parsed != fields.uuid)
        std::abort();
}

void TypedTexts(const uint8_t* data, size_t size) {
    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    core::Uuid uuid{};
    if (core::ParseUuidText(text, uuid)) {
        core::Uuid again{};
        if (!core::ParseUuidText(core::FormatUuidText(uuid.data()), again) || again != uuid)
            std::abort();
    }
    const std::wstring trimmed = core::TrimBlanks(text);
    const uint32_t number = core::ParseNumberText(trimmed);
    const std::wstring formatted = core::FormatNumberText(number, trimmed);
    if (core::ParseNumberText(formatted) != number)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= core::kRecordSize)
        RecordRoundTrip(data);
    TypedTexts(data, size);
    return 0;
}
