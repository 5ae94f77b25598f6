#include "core/record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/bytes.h"
#include "core/record_test_support.h"

namespace core {
namespace {

const Uuid kVarnexBytes = {0x6D, 0x09, 0xA4, 0x3A, 0xC0, 0x2C, 0xDD, 0x46,
                           0x87, 0x8A, 0x88, 0x51, 0x1D, 0x75, 0xAC, 0x78};

bool AllZero(const RecordImage& image, size_t from, size_t to) {
    return std::all_of(image.begin() + from, image.begin() + to, [](uint8_t b) { return b == 0; });
}

TEST(Bytes, LittleEndianBothWays) {
    const uint8_t in[] = {0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(ReadU16LE(in), 0x5678);
    EXPECT_EQ(ReadU32LE(in), 0x12345678u);
    uint8_t out[4] = {};
    WriteU32LE(out, 0xFEDCBA98u);
    EXPECT_EQ(out[0], 0x98);
    EXPECT_EQ(out[3], 0xFE);
    WriteU16LE(out, 0xABCD);
    EXPECT_EQ(ReadU32LE(out), 0xFEDCABCDu);
}

TEST(Record, EncodesTheLayout) {
    RecordFields fields;
    fields.uuid = kVarnexBytes;
    fields.number = 0x12345678;
    fields.productName = "Varnex";
    fields.makerName = "Tolka";
    const RecordImage expected = {
        0x00, 0x00,                                                              // 0: status, valid
        0x00, 0x00,                                                              // 2: reserved
        0x6D, 0x09, 0xA4, 0x3A, 0xC0, 0x2C, 0xDD, 0x46,                          // 4: uuid, groups 1-3 little-endian
        0x87, 0x8A, 0x88, 0x51, 0x1D, 0x75, 0xAC, 0x78,                          //    last 8 bytes in text order
        0x78, 0x56, 0x34, 0x12,                                                  // 20: number
        'V',  'a',  'r',  'n',  'e',  'x',  0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  // 24: productName
        0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  //     zero-filled
        'T',  'o',  'l',  'k',  'a',  0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  // 56: makerName
        0,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  //     zero-filled
        // 88-127: reserved, zero (the rest of the initialiser)
    };
    auto image = EncodeRecord(fields);
    ASSERT_TRUE(image);
    EXPECT_EQ(*image, expected);
}

TEST(Record, EmptyNamesAreZeroFields) {
    RecordFields fields;
    fields.uuid.fill(0xFF);
    fields.number = 0xFFFFFFFF;
    auto image = EncodeRecord(fields);
    ASSERT_TRUE(image);
    EXPECT_TRUE(AllZero(*image, 0, 4));     // status and reserved
    EXPECT_TRUE(AllZero(*image, 24, 88));   // both names
    EXPECT_TRUE(AllZero(*image, 88, 128));  // reserved
}

TEST(Record, LongestNamesFillTheirFieldsWithTheNulLast) {
    RecordFields fields;
    fields.productName = std::string(31, 'P');
    fields.makerName = std::string(31, 'M');
    auto image = EncodeRecord(fields);
    ASSERT_TRUE(image);
    EXPECT_TRUE(std::all_of(image->begin() + 24, image->begin() + 55, [](uint8_t b) { return b == 'P'; }));
    EXPECT_EQ((*image)[55], 0);
    EXPECT_TRUE(std::all_of(image->begin() + 56, image->begin() + 87, [](uint8_t b) { return b == 'M'; }));
    EXPECT_EQ((*image)[87], 0);
    EXPECT_TRUE(AllZero(*image, 88, 128));
}

TEST(Record, RefusesNamesThatDoNotFit) {
    // 16 double-byte characters: 16 characters for the window, 32 bytes for the field.
    std::string doubleByte;
    for (int i = 0; i < 16; ++i)
        doubleByte += "\x83\x41";
    const std::string tooLong[] = {std::string(32, 'x'), doubleByte, std::string("a\0b", 3)};
    for (const std::string& name : tooLong) {
        RecordFields fields;
        fields.productName = name;
        EXPECT_FALSE(EncodeRecord(fields)) << name.size();
        fields.productName.clear();
        fields.makerName = name;
        EXPECT_FALSE(EncodeRecord(fields)) << name.size();
    }
}

// Characters first, then the code page, then the bytes; the missing character is named whole.
TEST(Record, NameRuleOrderAndTheMissingCharacter) {
    const size_t npos = std::wstring::npos;
    const struct {
        std::wstring text;
        AnsiName converted;
        NameVerdict verdict;
        std::wstring missing;
    } cases[] = {
        {L"製品B", {"\x90\xbb\x95\x69\x42", npos}, NameVerdict::Fits, L""},
        {std::wstring(31, L'a'), {std::string(31, 'a'), npos}, NameVerdict::Fits, L""},
        {std::wstring(32, L'a'), {std::string(32, 'a'), npos}, NameVerdict::TooManyChars, L""},
        {L"Café", {"Caf?", 3}, NameVerdict::NotInCodePage, L"é"},
        {L"a\U0001F600b", {"a??b", 1}, NameVerdict::NotInCodePage, L"\U0001F600"},  // a pair in UTF-16
        {std::wstring(16, L'製'), {std::string(32, '\x90'), npos}, NameVerdict::TooManyBytes, L""},
        {L"a", {std::string("a\0", 2), npos}, NameVerdict::TooManyBytes, L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CheckName(c.text, c.converted), c.verdict) << c.converted.bytes;
        EXPECT_EQ(MissingCharacter(c.text, c.converted), c.missing) << c.converted.bytes;
    }
}

// The first fault wins: maker, then product name, then the UUID; the Number never fails.
TEST(Record, FieldsFromTextsCheckInTheEditorsOrder) {
    const AnsiName ok{"ok"};
    const AnsiName lacking{"Caf?", 3};
    const struct {
        std::wstring uuid;
        AnsiName product, maker;
        RecordTextFault fault;
        NameVerdict verdict;
    } cases[] = {
        {L"", lacking, {std::string(32, 'a')}, RecordTextFault::MakerName, NameVerdict::TooManyBytes},
        {L"", lacking, ok, RecordTextFault::ProductName, NameVerdict::NotInCodePage},
        {L"", ok, ok, RecordTextFault::UuidMissing, NameVerdict::Fits},
        {L"{3aa4096d-2cc0-46dd-878a-88511d75ac78}", ok, ok, RecordTextFault::UuidMalformed, NameVerdict::Fits},
        {kVarnexKindUuid, ok, ok, RecordTextFault::None, NameVerdict::Fits},
    };
    for (const auto& c : cases) {
        const RecordFromTexts made = FieldsFromTexts({c.uuid, L"x", L"Café", L"Café"}, c.product, c.maker);
        EXPECT_EQ(made.fault, c.fault) << c.uuid;
        EXPECT_EQ(made.nameVerdict, c.verdict) << c.uuid;
    }
}

// Texts -> record -> texts gives the editor's texts back, the Number as its face shows it.
TEST(Record, TextsRoundTripThroughARecord) {
    const RecordFromTexts made =
        FieldsFromTexts({kPelnexKindUuid, L"  0x10 ", L"Board", L"Maker"}, {"Board"}, {"Maker"});
    ASSERT_EQ(made.fault, RecordTextFault::None);
    const RecordImage image = *EncodeRecord(made.fields);
    const RecordTexts back =
        TextsOfRecord(image.data(), [](const std::string& bytes) { return std::wstring(bytes.begin(), bytes.end()); });
    EXPECT_EQ(back.uuid, kPelnexKindUuid);
    EXPECT_EQ(back.number, L"16");
    EXPECT_EQ(back.product, L"Board");
    EXPECT_EQ(back.maker, L"Maker");
}

TEST(Record, DecodesALiteralImage) {
    RecordImage image{};
    const uint8_t head[] = {
        0x34, 0x12, 0xAA, 0xBB,                          // status and reserved: not looked at
        0xB3, 0x7E, 0x7C, 0x78, 0xAC, 0x31, 0xE1, 0x4B,  // uuid of the Pelnex kind
        0xBD, 0x0A, 0xC0, 0x75, 0x63, 0xD3, 0x91, 0x79,  //
        0xFF, 0x00, 0x00, 0x00,                          // number 255
    };
    std::copy(std::begin(head), std::end(head), image.begin());
    std::fill(image.begin() + 24, image.begin() + 56, 'N');  // productName with no NUL
    const char maker[] = "\x90\xBB\x91\xA2\0junk";           // double-byte text, NUL, leftovers
    std::copy(std::begin(maker), std::end(maker), image.begin() + 56);
    std::fill(image.begin() + 88, image.end(), 0xEE);  // reserved: not looked at

    const RecordFields fields = DecodeRecord(image.data());
    EXPECT_EQ(FormatUuidText(fields.uuid.data()), kPelnexKindUuid);
    EXPECT_EQ(fields.number, 255u);
    EXPECT_EQ(fields.productName, std::string(32, 'N'));
    EXPECT_EQ(fields.makerName, "\x90\xBB\x91\xA2");
    EXPECT_EQ(ReadSlotStatus(image.data()), 0x1234);
}

TEST(Record, RoundTrips) {
    RecordFields fields;
    fields.uuid = kVarnexBytes;
    fields.number = 4294967295u;
    fields.productName = "\x90\xBB\x95\x69 A-1";
    fields.makerName = std::string(31, 'z');
    auto image = EncodeRecord(fields);
    ASSERT_TRUE(image);
    EXPECT_EQ(ReadSlotStatus(image->data()), kSlotValid);
    const RecordFields back = DecodeRecord(image->data());
    EXPECT_EQ(back.uuid, fields.uuid);
    EXPECT_EQ(back.number, fields.number);
    EXPECT_EQ(back.productName, fields.productName);
    EXPECT_EQ(back.makerName, fields.makerName);
}

TEST(Record, ErasedSlotReadsFree) {
    RecordImage erased;
    erased.fill(0xFF);
    EXPECT_EQ(ReadSlotStatus(erased.data()), kSlotFree);
}

TEST(NumberText, Table) {
    for (const NumberCase& c : kNumberCases) {
        const std::wstring trimmed = TrimBlanks(c.fieldText);
        EXPECT_EQ(ParseNumberText(trimmed), c.expected) << "text \"" << trimmed << "\"";
    }
}

TEST(NumberText, TrimsOnlyTheEnds) {
    EXPECT_EQ(TrimBlanks(L" \t 0x1 2 \r\n"), L"0x1 2");
    EXPECT_EQ(TrimBlanks(L" \t\v\f "), L"");
    EXPECT_EQ(TrimBlanks(L"\u30000x1\u3000"), L"0x1");
    // The base is chosen after trimming: a leading blank must not hide the prefix.
    EXPECT_EQ(ParseNumberText(TrimBlanks(L"  0x10")), 16u);
}

TEST(NumberText, FormatsLikeTheCurrentText) {
    struct {
        uint32_t n;
        const wchar_t* current;
        const wchar_t* expected;
    } const cases[] = {
        {11, L"10", L"11"},
        {11, L"0X0A", L"0x0000000b"},
        {11, L"0x0000000a", L"0x0000000b"},
        {0xFFFFFFFF, L"0x1", L"0xffffffff"},
        {4294967295u, L"", L"4294967295"},
        {256, L"0255", L"256"},
        {256, L"x0", L"256"},
        {0, L"0", L"0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatNumberText(c.n, c.current), c.expected) << c.n;
}

TEST(UuidText, Table) {
    for (const UuidCase& c : kUuidCases) {
        const std::wstring text(c.text);
        Uuid out;
        out.fill(0xAA);
        ASSERT_EQ(ParseUuidText(c.text, out), c.accepted) << text;
        if (c.accepted) {
            EXPECT_TRUE(std::equal(out.begin(), out.end(), c.bytes)) << text;
            std::wstring lower(c.text);
            for (wchar_t& ch : lower)
                if (ch >= L'A' && ch <= L'F')
                    ch = static_cast<wchar_t>(ch - L'A' + L'a');
            EXPECT_EQ(FormatUuidText(out.data()), lower);
        } else {
            EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](uint8_t b) { return b == 0xAA; })) << text;
        }
        // The ledgers' UTF-8 text follows the same rule.
        if (std::all_of(text.begin(), text.end(), [](wchar_t ch) { return static_cast<uint32_t>(ch) < 0x80; })) {
            Uuid narrow;
            EXPECT_EQ(ParseUuidText(std::string(text.begin(), text.end()), narrow), c.accepted) << text;
            EXPECT_TRUE(!c.accepted || narrow == out) << text;
        }
    }
    Uuid out;
    EXPECT_FALSE(ParseUuidText(std::string("3aa4096d-2cc0-46dd-878a-88511d75ac\xC3\xA9"), out));
}

TEST(UuidText, ProductKinds) {
    Uuid uuid;
    ASSERT_TRUE(ParseUuidText(L"3AA4096D-2CC0-46DD-878A-88511D75AC78", uuid));
    EXPECT_EQ(ProductKindOf(uuid.data()), ProductKind::Varnex);
    ASSERT_TRUE(ParseUuidText(kPelnexKindUuid, uuid));
    EXPECT_EQ(ProductKindOf(uuid.data()), ProductKind::Pelnex);
    uuid[15] ^= 1;
    EXPECT_EQ(ProductKindOf(uuid.data()), ProductKind::Other);
    uuid = kVarnexBytes;
    uuid[0] ^= 1;
    EXPECT_EQ(ProductKindOf(uuid.data()), ProductKind::Other);
}

}  // namespace
}  // namespace core
