#include "station/stationfile.h"

#include <iterator>
#include <string_view>
#include <utility>

#include "core/digits.h"
#include "core/utf8.h"
#include "line/lineledger.h"

namespace station {

namespace {

const char kByteOrderMark[] = "\xEF\xBB\xBF";

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

template <class Char>
bool IsBlank(Char c) {
    return c == static_cast<Char>(' ') || c == static_cast<Char>('\t');
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// "C:\...", "\\server\share\...", "/..." (either separator).
bool IsAbsolute(const std::wstring& path) {
    if (!path.empty() && IsSeparator(path[0]))
        return true;
    return path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]);
}

// "C:name" names a place relative to another folder of drive C: whose current folder the
// station cannot know.
bool IsDriveRelative(const std::wstring& path) {
    return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':' && !IsAbsolute(path);
}

// The folder with the separator that joins a name to it; the folder's own kind of separator.
std::wstring FolderPrefix(const std::wstring& folder) {
    if (folder.empty() || IsSeparator(folder.back()))
        return folder;
    const bool slashes = folder.find(L'/') != std::wstring::npos && folder.find(L'\\') == std::wstring::npos;
    return folder + (slashes ? L'/' : L'\\');
}

std::optional<std::wstring> Resolved(const std::wstring& path, const std::wstring& folder) {
    if (path.empty() || IsDriveRelative(path))
        return std::nullopt;
    if (IsAbsolute(path))
        return path;
    return FolderPrefix(folder) + path;
}

enum class Key { Record, Options, Ledger, Station, Operator, Rework, Count };

std::optional<Key> KeyOf(std::string_view name) {
    static const char* const kNames[] = {"record", "options", "ledger", "station", "operator", "rework"};
    static_assert(std::size(kNames) == static_cast<size_t>(Key::Count), "one name per key");
    for (size_t k = 0; k < std::size(kNames); ++k) {
        if (name == kNames[k])
            return static_cast<Key>(k);
    }
    return std::nullopt;
}

std::optional<bool> Choice(std::string_view value, const char* yes, const char* no) {
    if (value == yes)
        return true;
    if (value == no)
        return false;
    return std::nullopt;
}

// One value into `out`; false when it is not one the key takes. An empty value leaves an
// optional key as if it were not given.
bool TakeValue(Key key, std::string_view value, const std::wstring& folder, StationFile& out) {
    const std::wstring wide = core::FromUtf8(std::string(value));
    switch (key) {
        case Key::Record:
        case Key::Options: {
            if (value.empty())
                return key == Key::Options;
            auto path = Resolved(wide, folder);
            (key == Key::Record ? out.record : out.options) = path ? *path : std::wstring();
            return path.has_value();
        }
        case Key::Ledger: {
            if (value.empty() || core::IsDatabaseLedger(wide)) {
                out.ledger = wide;
                return true;
            }
            auto path = Resolved(wide, folder);
            out.ledger = path ? *path : std::wstring();
            return path.has_value();
        }
        case Key::Station:
            out.station = core::ParseStation(value);
            return value.empty() || out.station.has_value();
        case Key::Operator: {
            auto required = Choice(value, "required", "none");
            out.operatorRequired = required.value_or(true);
            return required.has_value();
        }
        case Key::Rework: {
            auto rework = Choice(value, "yes", "no");
            out.rework = rework.value_or(false);
            return rework.has_value();
        }
        case Key::Count:
            break;
    }
    return false;
}

// A line's fault in its text alone: not UTF-8, or a control character (a tab is a blank).
StationFault TextFault(const std::string& bytes, size_t begin, size_t end) {
    for (size_t at = begin; at < end;) {
        const auto c = static_cast<unsigned char>(bytes[at]);
        if ((c < 0x20 && c != '\t') || c == 0x7F)
            return StationFault::BadCharacter;
        const size_t length = core::Utf8SequenceLength(bytes, at);
        if (length == 0 || at + length > end)
            return StationFault::NotUtf8;
        at += length;
    }
    return StationFault::None;
}

}  // namespace

bool operator==(const StationFile& a, const StationFile& b) {
    return a.record == b.record && a.options == b.options && a.ledger == b.ledger && a.station == b.station &&
           a.operatorRequired == b.operatorRequired && a.rework == b.rework;
}

StationParse ParseStationFile(const std::string& bytes, const std::wstring& folder, StationFile& out) {
    if (bytes.size() > kMaxStationFileSize)
        return {StationFault::TooLarge, 0, {}};
    StationFile file;
    bool given[static_cast<size_t>(Key::Count)] = {};
    size_t begin = bytes.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
    for (size_t line = 1; begin < bytes.size(); ++line) {
        size_t end = bytes.find('\n', begin);
        const size_t next = end == std::string::npos ? bytes.size() : end + 1;
        end = end == std::string::npos ? bytes.size() : end;
        if (end > begin && bytes[end - 1] == '\r')
            --end;
        if (StationFault fault = TextFault(bytes, begin, end); fault != StationFault::None)
            return {fault, line, {}};
        const std::string_view text = Trimmed(std::string_view(bytes).substr(begin, end - begin));
        begin = next;
        if (text.empty() || text.front() == '#')
            continue;
        const size_t equals = text.find('=');
        if (equals == std::string_view::npos)
            return {StationFault::NoEquals, line, {}};
        const std::string_view name = Trimmed(text.substr(0, equals));
        const std::wstring wideName = core::FromUtf8(std::string(name));
        const auto key = KeyOf(name);
        if (!key)
            return {StationFault::UnknownKey, line, wideName};
        bool& seen = given[static_cast<size_t>(*key)];
        if (seen)
            return {StationFault::RepeatedKey, line, wideName};
        seen = true;
        if (!TakeValue(*key, Trimmed(text.substr(equals + 1)), folder, file))
            return {StationFault::BadValue, line, wideName};
    }
    if (file.record.empty())
        return {StationFault::MissingRecord, 0, L"record"};
    out = file;
    return {};
}

namespace {

// The path as the file gives it: relative where it lies under the folder and reads back so.
std::wstring PathText(const std::wstring& path, const std::wstring& folder) {
    const std::wstring prefix = FolderPrefix(folder);
    if (prefix.empty() || path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0)
        return path;
    const std::wstring rest = path.substr(prefix.size());
    const bool plain = !IsBlank(rest.front()) && !IsBlank(rest.back()) && !core::IsDatabaseLedger(rest);
    return plain && Resolved(rest, folder) == path ? rest : path;
}

void AddLine(std::string& text, const char* key, const std::string& value) {
    text += key;
    text += '=';
    text += value;
    text += "\r\n";
}

}  // namespace

std::string FormatStationFile(const StationFile& file, const std::wstring& folder) {
    std::string text;
    AddLine(text, "record", core::ToUtf8(PathText(file.record, folder)));
    if (!file.options.empty())
        AddLine(text, "options", core::ToUtf8(PathText(file.options, folder)));
    if (!file.ledger.empty())
        AddLine(text, "ledger",
                core::ToUtf8(core::IsDatabaseLedger(file.ledger) ? file.ledger : PathText(file.ledger, folder)));
    if (file.station)
        AddLine(text, "station", core::FormatStation(*file.station));
    AddLine(text, "operator", file.operatorRequired ? "required" : "none");
    AddLine(text, "rework", file.rework ? "yes" : "no");
    return text;
}

StationParse ReadStationFields(const StationFields& fields, const std::wstring& folder, StationFile& out) {
    const std::pair<const char*, const std::wstring*> lines[] = {{"record", &fields.record},
                                                                 {"options", &fields.options},
                                                                 {"ledger", &fields.ledger},
                                                                 {"station", &fields.share}};
    std::string text;
    for (const auto& [key, value] : lines) {
        // A line break would end the key's line and start another: refused as the file refuses it.
        if (value->find_first_of(L"\r\n") != std::wstring::npos)
            return {StationFault::BadCharacter, 0, core::FromUtf8(key)};
        // An empty field is a key not given: an optional one is none, an empty record is refused
        // as a file without one.
        if (!value->empty())
            AddLine(text, key, core::ToUtf8(*value));
    }
    AddLine(text, "operator", fields.operatorRequired ? "required" : "none");
    AddLine(text, "rework", fields.rework ? "yes" : "no");
    StationParse parse = ParseStationFile(text, folder, out);
    if (parse.key.empty() && parse.line > 0) {
        // A fault found in a line's text alone (not UTF-8, a control character) names no key.
        size_t line = 0;
        for (const auto& [key, value] : lines) {
            if (!value->empty() && ++line == parse.line)
                parse.key = core::FromUtf8(key);
        }
    }
    parse.line = 0;
    return parse;
}

}  // namespace station
