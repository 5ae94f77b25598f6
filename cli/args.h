// tolka's command line: a command of one or two words, at most one file, and options,
// checked against the command table before anything is read or connected.
// Portable: no <windows.h>.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/output.h"
#include "line/ledger.h"
#include "line/ledgersummary.h"

namespace cli {

enum class Option {
    Json,
    Language,
    Help,
    Version,
    Output,
    Uuid,
    NewUuid,
    Number,
    Product,
    Maker,
    Ledger,
    LedgerTimeout,
    Station,
    AllowKindMismatch,
    Yes,
    Repeat,
    From,
    To,
    Options,
    Operator,
    Rework,
};

struct Context;
// What a command does, given its context; the command table names one for each command.
using Handler = Exit (*)(Context& c);

struct Invocation {
    Handler handler = nullptr;               // the command's, from the command table
    std::wstring name;                       // "pi write", as the JSON output names it
    std::wstring file;                       // the command's one file argument (help: the command asked about)
    std::map<Option, std::wstring> options;  // flags map to an empty text
    std::optional<core::Lang> lang;          // --lang
    core::Station station;                   // --station, 1/1 without it
    unsigned ledgerTimeout = 5;              // --ledger-timeout, seconds
    core::Period period;                     // --from, --to

    bool Has(Option option) const { return options.count(option) != 0; }
    const std::wstring& Value(Option option) const;  // empty when not given
    bool Json() const { return Has(Option::Json); }
};

struct UsageError {
    int detail;
    std::wstring argument;   // %1 of the detail
    std::wstring more = {};  // %2
};

struct ParsedArgs {
    Invocation invocation;
    std::optional<UsageError> error;
    // --lang as far as it could be read, so that even a usage error speaks the asked language
    std::optional<core::Lang> lang;
    bool json = false;
};

// The arguments after the program name. "--name value" and "--name=value" are the same;
// "--" ends the options, so that a file name may start with "-". `ledgerFromEnvironment`
// (TOLKA_LEDGER) stands for a --ledger not given, and for the ledger of the ledger commands.
ParsedArgs ParseArgs(const std::vector<std::wstring>& args, const std::wstring& ledgerFromEnvironment = L"");

// The commands' names, in the table's order: "help", "info", "pi show", ...
std::vector<std::wstring> CommandNames();

// The help made from the command table: every command with its synopsis and what it does,
// the options and the exit codes; or, given a command's name, that command alone with its
// options. Empty for a name that is no command.
std::wstring HelpText(core::Lang lang, const std::wstring& command = L"");

}  // namespace cli
