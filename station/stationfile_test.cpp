#include "station/stationfile.h"

#include <gtest/gtest.h>

namespace station {
namespace {

using F = StationFault;

struct Row {
    std::string text;
    StationFault fault;
    size_t line;
    std::wstring key;
    StationFile fields;  // when sound
};

const Row kRows[] = {
    {"\xEF\xBB\xBF# line 3\r\n\r\n  record = boardA.tpi \r\noptions=sub/a.topt\r\nledger=odbc:DSN=line\r\n"
     "station=2/4\r\noperator=none\r\nrework=yes\r\n",
     F::None,
     0,
     L"",
     {L"C:\\line\\boardA.tpi", L"C:\\line\\sub/a.topt", L"odbc:DSN=line", core::Station{2, 4}, false, true}},
    {"record=D:/recs/a.tpi\noptions=\\\\srv\\share\\a.topt\nledger=/var/line.csv\nstation= ",
     F::None,
     0,
     L"",
     {L"D:/recs/a.tpi", L"\\\\srv\\share\\a.topt", L"/var/line.csv", {}, true, false}},
    {"record=\xE5\x9F\xBA\xE6\x9D\xBF.tpi\nledger=..\\line.csv\noptions=\t\nstation = 4294967295/4294967295",
     F::None,
     0,
     L"",
     {L"C:\\line\\\u57FA\u677F.tpi", L"", L"C:\\line\\..\\line.csv", core::Station{UINT32_MAX, UINT32_MAX}, true,
      false}},
    {"", F::MissingRecord, 0, L"record", {}},
    {"options=a.topt\n# record=a.tpi\n", F::MissingRecord, 0, L"record", {}},
    {"record=a.tpi\n" + std::string(kMaxStationFileSize, '#'), F::TooLarge, 0, L"", {}},
    {"record=a.tpi\r\nrecord=b.tpi\r\n", F::RepeatedKey, 2, L"record", {}},
    {"record=a.tpi\ncolour=red\n", F::UnknownKey, 2, L"colour", {}},
    {"Record=a.tpi\n", F::UnknownKey, 1, L"Record", {}},
    {"=a.tpi\n", F::UnknownKey, 1, L"", {}},
    {"record=a.tpi\n\njust text\n", F::NoEquals, 3, L"", {}},
    {"record=\n", F::BadValue, 1, L"record", {}},
    {"record=C:a.tpi\n", F::BadValue, 1, L"record", {}},
    {"record=a.tpi\nstation=0/4\n", F::BadValue, 2, L"station", {}},
    {"record=a.tpi\nstation=5/4\n", F::BadValue, 2, L"station", {}},
    {"record=a.tpi\nstation=+1/4\n", F::BadValue, 2, L"station", {}},
    {"record=a.tpi\nstation=1/4294967296\n", F::BadValue, 2, L"station", {}},
    {"record=a.tpi\noperator=yes\n", F::BadValue, 2, L"operator", {}},
    {"record=a.tpi\nrework=1\n", F::BadValue, 2, L"rework", {}},
    {"record=a.tpi\n# \xC3\x28\n", F::NotUtf8, 2, L"", {}},
    {"record=a\xED\xA0\x80.tpi\n", F::NotUtf8, 1, L"", {}},
    {"record=a.tpi\rrework=yes\n", F::BadCharacter, 1, L"", {}},
    {std::string("record=a.tpi\nrework=no\0\n", 24), F::BadCharacter, 2, L"", {}},
};

TEST(StationFile, ReadOrRefusedWithLineAndKey) {
    for (const Row& row : kRows) {
        StationFile file;
        file.rework = true;  // untouched unless the whole file is sound
        const StationParse parse = ParseStationFile(row.text, L"C:\\line", file);
        SCOPED_TRACE(row.text.substr(0, 80));
        EXPECT_EQ(parse.fault, row.fault);
        EXPECT_EQ(parse.line, row.line);
        EXPECT_EQ(parse.key, row.key);
        EXPECT_TRUE(parse.fault == F::None ? file == row.fields : file.rework && file.record.empty());
    }
}

TEST(StationFile, SavedRelativeUnderItsFolderAndReadBack) {
    const struct {
        std::wstring folder;
        StationFile file;
        const char* text;
    } cases[] = {
        {L"C:\\line",
         {L"C:\\line\\a.tpi", L"C:\\line\\t\\a.topt", L"C:\\line\\odbc:x", core::Station{1, 2}, false, true},
         "record=a.tpi\r\noptions=t\\a.topt\r\nledger=C:\\line\\odbc:x\r\nstation=1/"
         "2\r\noperator=none\r\nrework=yes\r\n"},
        {L"/srv/line/",
         {L"/srv/line/ a.tpi", L"/srv/lines/a.topt", L"odbc:DSN=line", {}, true, false},
         "record=/srv/line/ a.tpi\r\noptions=/srv/lines/a.topt\r\nledger=odbc:DSN=line\r\noperator=required\r\n"
         "rework=no\r\n"},
    };
    for (const auto& c : cases) {
        const std::string text = FormatStationFile(c.file, c.folder);
        EXPECT_EQ(text, c.text);
        StationFile back;
        EXPECT_EQ(ParseStationFile(text, c.folder, back).fault, F::None) << text;
        EXPECT_TRUE(back == c.file) << text;
    }
}

// The set-up window's fields go by the file's rules, and a refusal names the field's key.
TEST(StationFile, FieldsReadByTheFilesRulesNamingTheRefusedField) {
    const struct {
        StationFields fields;
        StationFault fault;
        const wchar_t* key;
    } cases[] = {
        {{L" a.tpi ", L"", L"odbc:DSN=x;UID=a", L"2/3", false, true}, F::None, L""},
        {{L"", L"a.topt", L"", L"", true, false}, F::MissingRecord, L"record"},
        {{L"C:a.tpi", L"", L"", L"", true, false}, F::BadValue, L"record"},
        {{L"a.tpi", L"", L"", L"3/2", true, false}, F::BadValue, L"station"},
        {{L"a.tpi", L"a\r\nrework=yes", L"", L"", true, false}, F::BadCharacter, L"options"},
        {{L"a.tpi", L"", L"a\tb.csv\x7F", L"", true, false}, F::BadCharacter, L"ledger"},
    };
    for (const auto& c : cases) {
        StationFile file;
        const StationParse parse = ReadStationFields(c.fields, L"C:\\line", file);
        SCOPED_TRACE(c.key);
        EXPECT_EQ(parse.fault, c.fault);
        EXPECT_EQ(parse.key, c.key);
        const StationFile sound{L"C:\\line\\a.tpi", L"", c.fields.ledger, core::Station{2, 3}, false, true};
        EXPECT_TRUE(c.fault != F::None || file == sound);
    }
}

}  // namespace
}  // namespace station
