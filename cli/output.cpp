#include "cli/output.h"

#include <algorithm>

#include "core/digits.h"

namespace cli {

std::wstring JsonString(const std::wstring& text) {
    std::wstring out = L"\"";
    for (wchar_t c : text) {
        switch (c) {
            case L'"':
                out += L"\\\"";
                break;
            case L'\\':
                out += L"\\\\";
                break;
            case L'\n':
                out += L"\\n";
                break;
            case L'\r':
                out += L"\\r";
                break;
            case L'\t':
                out += L"\\t";
                break;
            default:
                if (static_cast<uint32_t>(c) < 0x20) {
                    out += L"\\u" + core::HexText<wchar_t>(static_cast<uint32_t>(c), 4, core::HexCase::Lower);
                } else {
                    out += c;
                }
        }
    }
    return out + L"\"";
}

JsonObject& JsonObject::Set(const std::string& key, std::wstring json) {
    for (auto& member : members_) {
        if (member.first == key) {
            member.second = std::move(json);
            return *this;
        }
    }
    members_.emplace_back(key, std::move(json));
    return *this;
}

const char* ExitName(Exit code) {
    static const char* const kNames[] = {"done", "other", "usage",  "bad-file", "no-board", "no-answer",
                                         "read", "write", "verify", "refused",  "ledger"};
    const auto index = static_cast<size_t>(code);
    return index < sizeof kNames / sizeof kNames[0] ? kNames[index] : "other";
}

JsonObject& JsonObject::Text(const std::string& key, const std::wstring& value) {
    return Set(key, JsonString(value));
}

JsonObject& JsonObject::Number(const std::string& key, uint64_t value) {
    return Set(key, core::DecimalText<wchar_t>(value));
}

JsonObject& JsonObject::Bool(const std::string& key, bool value) {
    return Set(key, value ? L"true" : L"false");
}

JsonObject& JsonObject::Null(const std::string& key) {
    return Set(key, L"null");
}

JsonObject& JsonObject::Object(const std::string& key, const JsonObject& value) {
    return Set(key, value.Serialize());
}

JsonObject& JsonObject::Texts(const std::string& key, const std::vector<std::wstring>& values) {
    std::wstring json = L"[";
    for (size_t i = 0; i < values.size(); ++i)
        json += (i ? L"," : L"") + JsonString(values[i]);
    return Set(key, json + L"]");
}

JsonObject& JsonObject::Numbers(const std::string& key, const std::vector<uint64_t>& values) {
    std::wstring json = L"[";
    for (size_t i = 0; i < values.size(); ++i)
        json += (i ? L"," : L"") + core::DecimalText<wchar_t>(values[i]);
    return Set(key, json + L"]");
}

JsonObject& JsonObject::Objects(const std::string& key, const std::vector<JsonObject>& values) {
    std::wstring json = L"[";
    for (size_t i = 0; i < values.size(); ++i)
        json += (i ? L"," : L"") + values[i].Serialize();
    return Set(key, json + L"]");
}

JsonObject& JsonObject::Append(const JsonObject& other) {
    for (const auto& member : other.members_)
        Set(member.first, member.second);
    return *this;
}

std::wstring JsonObject::Serialize() const {
    std::wstring json = L"{";
    for (size_t i = 0; i < members_.size(); ++i) {
        // Keys are ASCII names of ours.
        json += (i ? L"," : L"") + JsonString(std::wstring(members_[i].first.begin(), members_[i].first.end())) + L":" +
                members_[i].second;
    }
    return json + L"}";
}

namespace {

// A text as the console says it: a window's "\r\n" is a plain line end here, since the
// console writes its own.
std::wstring ConsoleLines(std::wstring text) {
    text.erase(std::remove(text.begin(), text.end(), L'\r'), text.end());
    return text;
}

}  // namespace

Report::Report(Output& out, core::Lang lang, bool json, const std::wstring& command)
    : out_(out), lang_(lang), json_(json), command_(command) {}

std::wstring Report::Text(int id, std::initializer_list<std::wstring> args) const {
    return core::Text(lang_, id, args);
}

void Report::Say(int id, std::initializer_list<std::wstring> args) {
    SayText(Text(id, args));
}

void Report::SayText(const std::wstring& text) {
    if (!json_)
        out_.Out(ConsoleLines(text));
}

void Report::Warn(const std::wstring& text) {
    warnings_.push_back(ConsoleLines(text));
    if (!json_)
        out_.Err(warnings_.back());
}

void Report::WarnBesideTable(const std::wstring& text) {
    warnings_.push_back(ConsoleLines(text));
    if (!json_)
        out_.Err(L"# " + warnings_.back());
}

Exit Report::Fail(Exit code, int id, std::initializer_list<std::wstring> args) {
    return FailText(code, Text(id, args));
}

Exit Report::FailText(Exit code, const std::wstring& text) {
    error_ = ConsoleLines(text);
    if (!json_)
        out_.Err(error_);
    return code;
}

Exit Report::Finish(Exit code) {
    if (!json_)
        return code;
    JsonObject object;
    object.Text("command", command_).Number("exit_code", static_cast<uint64_t>(code)).Bool("ok", code == Exit::Done);
    object.Append(fields_);
    if (!warnings_.empty())
        object.Texts("warnings", warnings_);
    if (!error_.empty())
        object.Text("error", error_);
    out_.Out(object.Serialize());
    return code;
}

}  // namespace cli
