#include "cli/output.h"

#include <gtest/gtest.h>

#include "core/utf8.h"

namespace cli {
namespace {

class Lines : public Output {
public:
    void Out(const std::wstring& line) override { out.push_back(line); }
    void Err(const std::wstring& line) override { err.push_back(line); }
    std::vector<std::wstring> out, err;
};

TEST(Json, StringsAreEscaped) {
    struct Case {
        std::wstring text, json;
    } cases[] = {
        {L"plain", L"\"plain\""},
        {L"a\"b\\c", L"\"a\\\"b\\\\c\""},
        {L"line\nbreak\r\ttab", L"\"line\\nbreak\\r\\ttab\""},
        {std::wstring(L"nul\0x", 5), L"\"nul\\u0000x\""},
        {L"\x1f", L"\"\\u001f\""},
        {L"製品", L"\"製品\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JsonString(c.text), c.json);
}

TEST(Json, ObjectsKeepTheirOrderAndReplaceAKeySetTwice) {
    JsonObject inner;
    inner.Text("uuid", L"u").Number("number", 4294967295u);
    JsonObject o;
    o.Text("b", L"x").Number("a", 1).Bool("t", true).Null("n").Object("rec", inner).Texts("w", {L"1", L"2"});
    o.Number("a", 2);
    EXPECT_EQ(o.Serialize(),
              L"{\"b\":\"x\",\"a\":2,\"t\":true,\"n\":null,\"rec\":{\"uuid\":\"u\",\"number\":4294967295},"
              L"\"w\":[\"1\",\"2\"]}");
}

TEST(Report, PersonGetsLinesScriptGetsOneObject) {
    Lines human;
    Report h(human, core::Lang::En, false, L"pi erase");
    h.Say(IDS_CONNECTED_USB);
    h.Fields().Text("interface", L"0x80000000");
    h.Warn(L"careful");
    EXPECT_EQ(h.Finish(h.Fail(Exit::WriteFailed, IDS_ERASE_FAILED)), Exit::WriteFailed);
    EXPECT_EQ(human.out, std::vector<std::wstring>{L"Connected to a USB device."});
    EXPECT_EQ(human.err, (std::vector<std::wstring>{L"careful", L"Erasing the flash memory failed."}));

    Lines script;
    Report j(script, core::Lang::Ja, true, L"pi erase");
    j.Say(IDS_CONNECTED_USB);
    j.Fields().Text("interface", L"0x80000000");
    j.Warn(L"careful");
    j.Finish(j.Fail(Exit::WriteFailed, IDS_ERASE_FAILED));
    EXPECT_TRUE(script.err.empty());
    EXPECT_EQ(script.out, std::vector<std::wstring>{
                              L"{\"command\":\"pi erase\",\"exit_code\":7,\"ok\":false,\"interface\":\"0x80000000\","
                              L"\"warnings\":[\"careful\"],\"error\":\"フラッシュメモリの消去に失敗しました。\"}"});
}

TEST(Messages, ArgumentsFillTheirPlaces) {
    EXPECT_EQ(core::Text(core::Lang::En, IDS_NAME_TOO_MANY_CHARS, {L"Maker", L"31"}),
              L"Maker: enter at most 31 characters.");
    EXPECT_EQ(core::Text(core::Lang::Ja, IDS_NAME_TOO_MANY_BYTES, {L"製造元", L"31"}),
              L"製造元: 31 バイト以内で入力してください。");
    // A missing argument leaves its place as it is rather than reading past the list.
    EXPECT_EQ(core::Text(core::Lang::En, IDS_FILE_SAVED), L"Saved to %1");
}

TEST(Utf8, WideTextOfEitherWidth) {
    EXPECT_EQ(core::ToUtf8(L"A\u00e9\u88fd"), "A\xC3\xA9\xE8\xA3\xBD");
    // U+1F600 as a surrogate pair (16-bit wchar_t) and as one unit (32-bit).
    EXPECT_EQ(core::ToUtf8(std::wstring{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)}),
              "\xF0\x9F\x98\x80");
    if (sizeof(wchar_t) == 4) {
        EXPECT_EQ(core::ToUtf8(std::wstring(1, static_cast<wchar_t>(0x1F600))), "\xF0\x9F\x98\x80");
    }
    EXPECT_EQ(core::ToUtf8(std::wstring(1, static_cast<wchar_t>(0xDC00))), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace cli
