#include "core/record.h"

#include <algorithm>
#include <cstring>

#include "core/bytes.h"
#include "core/digits.h"

namespace core {

static_assert(kMakerNameOffset + kNameFieldSize == kReserved2Offset, "record layout");
static_assert(kReserved2Offset + 40 == kRecordSize, "record layout");
static_assert(sizeof(kVarnexKindUuid) / sizeof(wchar_t) == kUuidTextLength + 1, "UUID text length");

namespace {

// Digit value of an ASCII character, or -1. Compares code units, so it is the same for
// 16- and 32-bit wchar_t.
int HexDigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// A byte above 0x7F is part of a UTF-8 character, never a digit.
int HexDigitValue(char c) {
    return HexDigitValue(static_cast<wchar_t>(static_cast<unsigned char>(c)));
}

// Number digits as the platform's wcstoul reads them: ASCII digits and letters, and the
// full-width digits that a Japanese input method types.
int DigitValue(wchar_t c, int base) {
    int v = (c >= 0xFF10 && c <= 0xFF19) ? static_cast<int>(c - 0xFF10) : HexDigitValue(c);
    return v < base ? v : -1;
}

// White space as the platform's trim and wcstoul see it: besides the ASCII blanks, the
// Unicode spaces, among them the no-break space of pasted text and the ideographic space an
// input method types.
bool IsBlank(wchar_t c) {
    return (c >= L'\t' && c <= L'\r') || c == L' ' || c == 0x00A0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// The UUID text rule for narrow and wide text alike: only ASCII hexadecimal digits and hyphens
// count, whatever the character type.
template <class Text>
bool ParseUuidDigits(const Text& text, Uuid& out) {
    if (text.size() != kUuidTextLength)
        return false;
    // Text digits in order, 32 of them, as byte values.
    uint8_t raw[kUuidSize];
    size_t digit = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-')
                return false;
            continue;
        }
        int v = HexDigitValue(text[i]);
        if (v < 0)
            return false;
        if (digit % 2 == 0)
            raw[digit / 2] = static_cast<uint8_t>(v << 4);
        else
            raw[digit / 2] = static_cast<uint8_t>(raw[digit / 2] | v);
        ++digit;
    }
    // The first three groups are numbers stored little-endian; the last 8 bytes as written.
    Uuid uuid;
    WriteU32LE(uuid.data(), static_cast<uint32_t>(raw[0]) << 24 | static_cast<uint32_t>(raw[1]) << 16 |
                                static_cast<uint32_t>(raw[2]) << 8 | raw[3]);
    WriteU16LE(uuid.data() + 4, static_cast<uint16_t>(raw[4] << 8 | raw[5]));
    WriteU16LE(uuid.data() + 6, static_cast<uint16_t>(raw[6] << 8 | raw[7]));
    std::copy(raw + 8, raw + kUuidSize, uuid.begin() + 8);
    out = uuid;
    return true;
}

bool StartsWithHexPrefix(const std::wstring& text) {
    return text.size() >= 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
}

void PutName(uint8_t* field, const std::string& name) {
    // The whole image starts zeroed, so the NUL and the fill are already there.
    std::memcpy(field, name.data(), name.size());
}

std::string GetName(const uint8_t* field) {
    const uint8_t* end = std::find(field, field + kNameFieldSize, uint8_t{0});
    return std::string(reinterpret_cast<const char*>(field), static_cast<size_t>(end - field));
}

}  // namespace

bool NameFitsField(const std::string& name) {
    return name.size() <= kNameMaxBytes && name.find('\0') == std::string::npos;
}

NameVerdict CheckName(const std::wstring& text, const AnsiName& converted) {
    if (text.size() > kNameMaxChars)
        return NameVerdict::TooManyChars;
    if (converted.firstMissing != std::wstring::npos)
        return NameVerdict::NotInCodePage;
    if (!NameFitsField(converted.bytes))
        return NameVerdict::TooManyBytes;
    return NameVerdict::Fits;
}

std::wstring MissingCharacter(const std::wstring& text, const AnsiName& converted) {
    const size_t at = converted.firstMissing;
    if (at >= text.size())
        return std::wstring();
    const bool pair = at + 1 < text.size() && text[at] >= 0xD800 && text[at] <= 0xDBFF && text[at + 1] >= 0xDC00 &&
                      text[at + 1] <= 0xDFFF;
    return text.substr(at, pair ? 2 : 1);
}

std::optional<RecordImage> EncodeRecord(const RecordFields& fields) {
    if (!NameFitsField(fields.productName) || !NameFitsField(fields.makerName))
        return std::nullopt;
    RecordImage image{};
    WriteU16LE(image.data() + kStatusOffset, kSlotValid);
    std::copy(fields.uuid.begin(), fields.uuid.end(), image.begin() + kUuidOffset);
    WriteU32LE(image.data() + kNumberOffset, fields.number);
    PutName(image.data() + kProductNameOffset, fields.productName);
    PutName(image.data() + kMakerNameOffset, fields.makerName);
    return image;
}

RecordFields DecodeRecord(const uint8_t* image) {
    RecordFields fields;
    std::copy(image + kUuidOffset, image + kUuidOffset + kUuidSize, fields.uuid.begin());
    fields.number = ReadU32LE(image + kNumberOffset);
    fields.productName = GetName(image + kProductNameOffset);
    fields.makerName = GetName(image + kMakerNameOffset);
    return fields;
}

RecordFromTexts FieldsFromTexts(const RecordTexts& texts, const AnsiName& product, const AnsiName& maker) {
    RecordFromTexts made;
    const struct {
        RecordTextFault fault;
        const std::wstring& text;
        const AnsiName& converted;
    } names[] = {{RecordTextFault::MakerName, texts.maker, maker},
                 {RecordTextFault::ProductName, texts.product, product}};
    for (const auto& name : names) {
        made.nameVerdict = CheckName(name.text, name.converted);
        if (made.nameVerdict != NameVerdict::Fits) {
            made.fault = name.fault;
            return made;
        }
    }
    if (texts.uuid.empty()) {
        made.fault = RecordTextFault::UuidMissing;
        return made;
    }
    if (!ParseUuidText(texts.uuid, made.fields.uuid)) {
        made.fault = RecordTextFault::UuidMalformed;
        return made;
    }
    made.fields.productName = product.bytes;
    made.fields.makerName = maker.bytes;
    made.fields.number = ParseNumberText(TrimBlanks(texts.number));
    return made;
}

RecordTexts TextsOfRecord(const uint8_t* image, const NameFromBytes& fromAnsi) {
    const RecordFields fields = DecodeRecord(image);
    return {FormatUuidText(fields.uuid.data()), DecimalText<wchar_t>(fields.number), fromAnsi(fields.productName),
            fromAnsi(fields.makerName)};
}

uint16_t ReadSlotStatus(const uint8_t* image) {
    return ReadU16LE(image + kStatusOffset);
}

bool ParseUuidText(const std::wstring& text, Uuid& out) {
    return ParseUuidDigits(text, out);
}

bool ParseUuidText(std::string_view text, Uuid& out) {
    return ParseUuidDigits(text, out);
}

std::wstring FormatUuidText(const uint8_t* uuid16) {
    constexpr HexCase kLower = HexCase::Lower;
    std::wstring text = HexText<wchar_t>(ReadU32LE(uuid16), 8, kLower) + L"-" +
                        HexText<wchar_t>(ReadU16LE(uuid16 + 4), 4, kLower) + L"-" +
                        HexText<wchar_t>(ReadU16LE(uuid16 + 6), 4, kLower) + L"-";
    for (size_t i = 8; i < kUuidSize; ++i)
        text += (i == 10 ? L"-" : L"") + HexText<wchar_t>(uuid16[i], 2, kLower);
    return text;
}

ProductKind ProductKindOf(const uint8_t* uuid16) {
    const std::wstring text = FormatUuidText(uuid16);
    if (text == kVarnexKindUuid)
        return ProductKind::Varnex;
    if (text == kPelnexKindUuid)
        return ProductKind::Pelnex;
    return ProductKind::Other;
}

std::wstring TrimBlanks(const std::wstring& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

int NumberTextBase(const std::wstring& trimmedText) {
    return StartsWithHexPrefix(trimmedText) ? 16 : 10;
}

uint32_t ParseNumberText(const std::wstring& trimmedText) {
    const int base = NumberTextBase(trimmedText);
    const std::wstring& s = trimmedText;
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-'))
        negative = s[i++] == L'-';
    // Skipping a prefix that no digit follows ("0xg") differs from reading its "0" only in
    // where the text ends, never in the value, so it is skipped unconditionally.
    if (base == 16 && StartsWithHexPrefix(s.substr(i)))
        i += 2;
    // Kept in 64 bits and capped, so the overflow test is exact on any width of long.
    constexpr uint64_t kMax = 0xFFFFFFFFu;
    uint64_t magnitude = 0;
    for (int v; i < s.size() && (v = DigitValue(s[i], base)) >= 0; ++i)
        magnitude = std::min(magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(v), kMax + 1);
    if (magnitude > kMax)
        return static_cast<uint32_t>(kMax);
    const uint32_t value = static_cast<uint32_t>(magnitude);
    return negative ? static_cast<uint32_t>(0u - value) : value;
}

std::optional<uint32_t> ParseStrictNumberText(const std::wstring& s) {
    const int base = NumberTextBase(s);
    const size_t begin = base == 16 ? 2 : 0;
    if (s.size() == begin)
        return std::nullopt;
    uint64_t value = 0;
    for (size_t i = begin; i < s.size(); ++i) {
        const int digit = HexDigitValue(s[i]);
        if (digit < 0 || digit >= base)
            return std::nullopt;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

std::wstring FormatNumberText(uint32_t n, const std::wstring& currentNumberText) {
    if (StartsWithHexPrefix(currentNumberText))
        return L"0x" + HexText<wchar_t>(n, 8, HexCase::Lower);
    return DecimalText<wchar_t>(n);
}

}  // namespace core
