// How a command tells what it did: one line per step for a person, or one JSON object per
// command for a script (--json). Portable: no <windows.h>.
//
//   Report report(out, core::Lang::Ja, json, L"pi write");
//   report.Say(IDS_CONNECTED_USB);                  // a person sees the line at once
//   report.Fields().Text("uuid", uuidText);         // a script sees it in the object
//   return report.Finish(report.Fail(Exit::WriteFailed, IDS_WRITE_FAILED));
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/texts.h"

namespace cli {

// Distinct per cause, so that a production script can tell what went wrong.
enum class Exit : int {
    Done = 0,
    Other = 1,  // no UUID could be made; nothing else should end here
    Usage = 2,
    BadFile = 3,
    NoBoard = 4,
    NoAnswer = 5,
    ReadFailed = 6,
    WriteFailed = 7,  // write or erase
    VerifyFailed = 8,
    Refused = 9,  // product-kind mismatch, firmware without the port option area
    Ledger = 10,
};

// The code's name as the ledger records the cause of a failed board: "verify", "no-answer".
const char* ExitName(Exit code);

// Where the text goes: the two standard streams, one or more lines per call, "\n" between
// lines and none at the end.
class Output {
public:
    virtual ~Output() = default;
    virtual void Out(const std::wstring& line) = 0;
    virtual void Err(const std::wstring& line) = 0;
};

// A JSON object whose members keep the order in which they were first set.
class JsonObject {
public:
    JsonObject& Text(const std::string& key, const std::wstring& value);
    JsonObject& Number(const std::string& key, uint64_t value);
    JsonObject& Bool(const std::string& key, bool value);
    JsonObject& Null(const std::string& key);
    JsonObject& Object(const std::string& key, const JsonObject& value);
    JsonObject& Texts(const std::string& key, const std::vector<std::wstring>& values);
    JsonObject& Numbers(const std::string& key, const std::vector<uint64_t>& values);
    JsonObject& Objects(const std::string& key, const std::vector<JsonObject>& values);
    // Every member of the other object, in its order.
    JsonObject& Append(const JsonObject& other);

    // Compact, on one line; text outside ASCII as it is (the output is UTF-8).
    std::wstring Serialize() const;

private:
    JsonObject& Set(const std::string& key, std::wstring json);
    std::vector<std::pair<std::string, std::wstring>> members_;
};

// A JSON string literal, quotes included.
std::wstring JsonString(const std::wstring& text);

class Report {
public:
    Report(Output& out, core::Lang lang, bool json, const std::wstring& command);

    core::Lang Language() const { return lang_; }
    bool IsJson() const { return json_; }
    std::wstring Text(int id, std::initializer_list<std::wstring> args = {}) const;

    // A step done: its line on standard output (nothing in JSON, which carries fields).
    void Say(int id, std::initializer_list<std::wstring> args = {});
    void SayText(const std::wstring& text);
    // Something the user should know that does not end the command: standard error, and
    // the object's "warnings".
    void Warn(const std::wstring& text);
    // The same beside a table that may be read back (opt show | opt make): on standard error
    // after "# ", so that a table with the error stream mixed in still reads back.
    void WarnBesideTable(const std::wstring& text);
    // The failure that ends the command: standard error, and the object's "error".
    Exit Fail(Exit code, int id, std::initializer_list<std::wstring> args = {});
    Exit FailText(Exit code, const std::wstring& text);

    JsonObject& Fields() { return fields_; }

    // Writes the JSON object (command, exit_code, ok, the fields, warnings, error) and
    // returns the code.
    Exit Finish(Exit code);

private:
    Output& out_;
    core::Lang lang_;
    bool json_;
    std::wstring command_;
    JsonObject fields_;
    std::vector<std::wstring> warnings_;
    std::wstring error_;
};

}  // namespace cli
