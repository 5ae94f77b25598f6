// The 128-byte product-information record and the text rules around it: the record from
// the editor's four texts and back, the UUID text, the Number text and the product kinds.
// Portable (no <windows.h>): the window and the console program convert the names between
// UTF-16 and the ANSI code page and hand bytes in and out here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace core {

constexpr size_t kRecordSize = 128;

// Byte offsets, little-endian.
constexpr size_t kStatusOffset = 0;        // u16
constexpr size_t kReserved1Offset = 2;     // 2 bytes, zero
constexpr size_t kUuidOffset = 4;          // 16 bytes, GUID memory order
constexpr size_t kNumberOffset = 20;       // u32
constexpr size_t kProductNameOffset = 24;  // 32 bytes, NUL-terminated multibyte text
constexpr size_t kMakerNameOffset = 56;    // 32 bytes, NUL-terminated multibyte text
constexpr size_t kReserved2Offset = 88;    // 40 bytes, zero
constexpr size_t kUuidSize = 16;
constexpr size_t kNameFieldSize = 32;
constexpr size_t kNameMaxBytes = kNameFieldSize - 1;  // room for the NUL
constexpr size_t kNameMaxChars = kNameMaxBytes;       // what the editor's fields accept

// First word of a flash slot.
constexpr uint16_t kSlotValid = 0x0000;
constexpr uint16_t kSlotFree = 0xFFFF;  // erased flash

constexpr wchar_t kVarnexKindUuid[] = L"3aa4096d-2cc0-46dd-878a-88511d75ac78";  // USB product
constexpr wchar_t kPelnexKindUuid[] = L"787c7eb3-31ac-4be1-bd0a-c07563d39179";  // LAN product

constexpr size_t kUuidTextLength = 36;

using RecordImage = std::array<uint8_t, kRecordSize>;
using Uuid = std::array<uint8_t, kUuidSize>;

// The four values of a record. Names are multibyte bytes in the thread's ANSI code page.
struct RecordFields {
    Uuid uuid{};
    uint32_t number = 0;
    std::string productName;
    std::string makerName;
};

// True when the name fits its field with the terminating NUL (at most 31 bytes, no NUL
// inside). A double-byte name within 31 characters can still fail this.
bool NameFitsField(const std::string& name);

// A name converted to the thread's ANSI code page: its bytes and the index of the first
// character the code page cannot hold exactly (npos when every character is held).
struct AnsiName {
    std::string bytes;
    size_t firstMissing = std::wstring::npos;
};

enum class NameVerdict { Fits, TooManyChars, NotInCodePage, TooManyBytes };

// The rule both faces apply before a name goes into a record, checked in this order: at most
// 31 characters, every character held exactly by the code page (no silent "?" or look-alike),
// at most 31 bytes.
NameVerdict CheckName(const std::wstring& text, const AnsiName& converted);

// The character at firstMissing, a surrogate pair kept whole; empty when there is none.
std::wstring MissingCharacter(const std::wstring& text, const AnsiName& converted);

// Status 0, reserved bytes zero, names NUL-terminated and zero-filled. Empty when a name
// does not fit its field: a name is never cut here.
std::optional<RecordImage> EncodeRecord(const RecordFields& fields);

// Reads the four values; status is not looked at. A name ends at its first NUL or after
// the 32 bytes of its field.
RecordFields DecodeRecord(const uint8_t* image);

// The four texts of a record as the writer's editor holds them.
struct RecordTexts {
    std::wstring uuid;
    std::wstring number;
    std::wstring product;
    std::wstring maker;
};

// What keeps four texts from making a record, in the order the texts are checked.
enum class RecordTextFault { None, MakerName, ProductName, UuidMissing, UuidMalformed };

struct RecordFromTexts {
    RecordTextFault fault = RecordTextFault::None;
    NameVerdict nameVerdict = NameVerdict::Fits;  // why a name was refused
    RecordFields fields;                          // the record's values when nothing is at fault
};

// The record's values from the editor's texts: the maker and the product name by CheckName,
// then the UUID text (none, or not 8-4-4-4-12), then the Number by ParseNumberText after
// TrimBlanks, which never fails. product and maker are those names as the face converted
// them to the ANSI code page. Each face turns a fault into its own message.
RecordFromTexts FieldsFromTexts(const RecordTexts& texts, const AnsiName& product, const AnsiName& maker);

// A record's four texts: the UUID as FormatUuidText writes it, the Number in decimal, the
// names through the face's conversion from the ANSI code page.
using NameFromBytes = std::function<std::wstring(const std::string& bytes)>;
RecordTexts TextsOfRecord(const uint8_t* image, const NameFromBytes& fromAnsi);

uint16_t ReadSlotStatus(const uint8_t* image);

// Exactly 8-4-4-4-12 hexadecimal digits (either case) with hyphens; no braces, no blanks.
// On failure `out` is left unchanged.
bool ParseUuidText(const std::wstring& text, Uuid& out);
// The same rule for UTF-8 text (the ledgers' uuid column).
bool ParseUuidText(std::string_view text, Uuid& out);

// 36 characters, lowercase, hyphenated, no braces.
std::wstring FormatUuidText(const uint8_t* uuid16);

enum class ProductKind { Other, Varnex, Pelnex };

ProductKind ProductKindOf(const uint8_t* uuid16);

// White space removed from both ends as the platform's trim removes it: space, tab, CR, LF,
// VT, FF and the Unicode spaces (no-break, ideographic, ...).
std::wstring TrimBlanks(const std::wstring& text);

// 16 when the text starts with "0x" or "0X", otherwise 10 (a leading 0 is not octal).
int NumberTextBase(const std::wstring& trimmedText);

// The text-to-unsigned-long rule on a 32-bit unsigned long in the base above: leading white
// space, an optional sign, in base 16 an optional 0x/0X, digits up to the first non-digit.
// No digits gives 0, a magnitude above 4294967295 gives 4294967295, a minus sign otherwise
// negates modulo 2^32. Never fails.
uint32_t ParseNumberText(const std::wstring& trimmedText);

// A Number given on a command line: decimal digits, or 0x/0X and hexadecimal digits, from 0
// to 4294967295; anything else (blanks around them, signs, exponents, separators, other
// digits, a larger value) is no Number, as a station "K/N" with blanks is none.
std::optional<uint32_t> ParseStrictNumberText(const std::wstring& text);

// The Number field's text after a count-up: "0x%08x" when the current text starts with
// "0x" or "0X", otherwise "%u".
std::wstring FormatNumberText(uint32_t n, const std::wstring& currentNumberText);

}  // namespace core
