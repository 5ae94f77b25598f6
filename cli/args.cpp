#include "cli/args.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <iterator>

#include "core/digits.h"
#include "cli/context.h"
#include "core/utf8.h"
#include "core/record.h"

namespace cli {

namespace {

struct OptionRow {
    Option id;
    const wchar_t* name;
    const wchar_t* alias;  // or null
    bool takesValue;
    const wchar_t* synopsis;  // as the help lists it; null: not listed (said in the synopses)
    int helpId;
};

// In the order the help lists them.
const OptionRow kOptionRows[] = {
    {Option::Number, L"--number", nullptr, true, L"--number N", IDS_HELP_NUMBER},
    {Option::Ledger, L"--ledger", nullptr, true, L"--ledger L.csv", IDS_HELP_LEDGER},
    {Option::LedgerTimeout, L"--ledger-timeout", nullptr, true, L"--ledger-timeout S", IDS_HELP_LEDGER_TIMEOUT},
    {Option::Station, L"--station", nullptr, true, L"--station K/N", IDS_HELP_STATION},
    {Option::Options, L"--options", nullptr, true, L"--options FILE.topt", IDS_HELP_OPTIONS_FILE},
    {Option::Operator, L"--operator", nullptr, true, L"--operator ID", IDS_HELP_OPERATOR},
    {Option::Rework, L"--rework", nullptr, false, L"--rework", IDS_HELP_REWORK},
    {Option::From, L"--from", nullptr, true, L"--from T, --to T", IDS_HELP_PERIOD},
    {Option::To, L"--to", nullptr, true, nullptr, 0},
    {Option::AllowKindMismatch, L"--allow-kind-mismatch", nullptr, false, L"--allow-kind-mismatch",
     IDS_HELP_ALLOW_KIND_MISMATCH},
    {Option::Repeat, L"--repeat", nullptr, false, L"--repeat", IDS_HELP_REPEAT},
    {Option::Yes, L"--yes", nullptr, false, L"--yes", IDS_HELP_YES},
    {Option::Json, L"--json", nullptr, false, L"--json", IDS_HELP_JSON},
    {Option::Language, L"--lang", nullptr, true, L"--lang ja|en", IDS_HELP_LANG},
    {Option::Version, L"--version", nullptr, false, L"--version", IDS_HELP_VERSION},
    {Option::Help, L"--help", L"-h", false, nullptr, 0},
    {Option::Help, L"-?", L"/?", false, nullptr, 0},  // the spellings Windows users try first
    {Option::Output, L"--output", L"-o", true, nullptr, 0},
    {Option::Uuid, L"--uuid", nullptr, true, nullptr, 0},
    {Option::NewUuid, L"--new-uuid", nullptr, false, nullptr, 0},
    {Option::Product, L"--product", nullptr, true, nullptr, 0},
    {Option::Maker, L"--maker", nullptr, true, nullptr, 0},
};

// Options every command takes.
const Option kGlobalOptions[] = {Option::Json, Option::Language, Option::Help, Option::Version};

// Options as a set, one bit each, so that the command table below is a constant that no code
// has to build at start-up.
class OptionSet {
public:
    constexpr OptionSet(std::initializer_list<Option> options) {
        for (Option option : options)
            bits_ |= Bit(option);
    }
    constexpr bool Has(Option option) const { return (bits_ & Bit(option)) != 0; }

private:
    static constexpr uint32_t Bit(Option option) { return uint32_t{1} << static_cast<unsigned>(option); }
    uint32_t bits_ = 0;
};

// One row per command: its words, what runs it, how the help shows it, and what it takes.
// The parser, the dispatcher and the help all read this table.
struct CommandRow {
    const wchar_t* name;
    Handler handler;
    const wchar_t* synopsis;  // what follows "tolka" in the help
    int helpId;
    bool takesFile;
    OptionSet options;          // besides the global ones
    OptionSet required;         // among them
    bool ledgerAsFile = false;  // the file is a ledger: TOLKA_LEDGER when not given
};

const CommandRow kCommandRows[] = {
    {L"help", ShowHelp, L"help [COMMAND]", IDS_HELP_HELP, false, {}, {}},
    {L"info", Info, L"info", IDS_HELP_INFO, false, {}, {}},
    {L"pi show", PiShow, L"pi show FILE.tpi", IDS_HELP_PI_SHOW, true, {}, {}},
    {L"pi make",
     PiMake,
     L"pi make (--uuid U | --new-uuid) [--number N] [--product P] [--maker M] -o FILE.tpi",
     IDS_HELP_PI_MAKE,
     false,
     {Option::Uuid, Option::NewUuid, Option::Number, Option::Product, Option::Maker, Option::Output},
     {Option::Output}},
    {L"pi read", PiRead, L"pi read [-o FILE.tpi]", IDS_HELP_PI_READ, false, {Option::Output}, {}},
    {L"pi write",
     PiWrite,
     L"pi write FILE.tpi [--number N] [--ledger L.csv [--station K/N]] [--allow-kind-mismatch] [--repeat]",
     IDS_HELP_PI_WRITE,
     true,
     {Option::Number, Option::Ledger, Option::LedgerTimeout, Option::Station, Option::AllowKindMismatch,
      Option::Repeat},
     {}},
    {L"pi erase", PiErase, L"pi erase --yes", IDS_HELP_PI_ERASE, false, {Option::Yes}, {}},
    {L"opt show", OptShow, L"opt show FILE.topt", IDS_HELP_OPT_SHOW, true, {}, {}},
    {L"opt make",
     OptMake,
     L"opt make TABLE.txt -o FILE.topt",
     IDS_HELP_OPT_MAKE,
     true,
     {Option::Output},
     {Option::Output}},
    {L"opt read", OptRead, L"opt read [-o FILE.topt]", IDS_HELP_OPT_READ, false, {Option::Output}, {}},
    {L"opt write", OptWrite, L"opt write FILE.topt", IDS_HELP_OPT_WRITE, true, {}, {}},
    {L"opt erase", OptErase, L"opt erase --yes", IDS_HELP_OPT_ERASE, false, {Option::Yes}, {}},
    {L"line run",
     LineRun,
     L"line run FILE.tpi [--options FILE.topt] [--ledger L] [--station K/N] [--operator ID] [--number N] [--rework] "
     L"[--repeat]",
     IDS_HELP_LINE_RUN,
     true,
     {Option::Options, Option::Ledger, Option::LedgerTimeout, Option::Station, Option::Operator, Option::Number,
      Option::Rework, Option::Repeat},
     {}},
    {L"ledger show", LedgerShow, L"ledger show L", IDS_HELP_LEDGER_SHOW, true, {Option::LedgerTimeout}, {}, true},
    {L"ledger upgrade",
     LedgerUpgrade,
     L"ledger upgrade L",
     IDS_HELP_LEDGER_UPGRADE,
     true,
     {Option::LedgerTimeout},
     {},
     true},
    {L"ledger export",
     LedgerExport,
     L"ledger export L -o L.csv",
     IDS_HELP_LEDGER_EXPORT,
     true,
     {Option::LedgerTimeout, Option::Output},
     {Option::Output},
     true},
    {L"ledger report",
     LedgerReport,
     L"ledger report L -o R.html [--from T] [--to T]",
     IDS_HELP_LEDGER_REPORT,
     true,
     {Option::LedgerTimeout, Option::Output, Option::From, Option::To},
     {Option::Output},
     true},
};

// Command words that need a second word.
const wchar_t* const kGroups[] = {L"pi", L"opt", L"line", L"ledger"};

constexpr unsigned kLedgerTimeoutMax = 600;

const OptionRow* FindOption(const std::wstring& name) {
    for (const OptionRow& row : kOptionRows) {
        if (name == row.name || (row.alias != nullptr && name == row.alias))
            return &row;
    }
    return nullptr;
}

const OptionRow& RowOf(Option id) {
    return *std::find_if(std::begin(kOptionRows), std::end(kOptionRows),
                         [id](const OptionRow& row) { return row.id == id; });
}

std::optional<core::Lang> ParseLang(const std::wstring& text) {
    if (text == L"ja")
        return core::Lang::Ja;
    if (text == L"en")
        return core::Lang::En;
    return std::nullopt;
}

bool IsGlobal(Option option) {
    return std::find(std::begin(kGlobalOptions), std::end(kGlobalOptions), option) != std::end(kGlobalOptions);
}

bool IsOptionToken(const std::wstring& arg) {
    return (arg.size() > 1 && arg[0] == L'-') || arg == L"/?";
}

// Options in the order given, and every other word.
struct Tokens {
    std::vector<std::pair<const OptionRow*, std::wstring>> options;
    std::vector<std::wstring> words;
};

std::optional<UsageError> Split(const std::vector<std::wstring>& args, Tokens& tokens) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (optionsEnded || !IsOptionToken(arg)) {
            tokens.words.push_back(arg);
            continue;
        }
        if (arg == L"--") {
            optionsEnded = true;
            continue;
        }
        const size_t equals = arg.find(L'=');
        const OptionRow* row = FindOption(arg.substr(0, equals));
        if (row == nullptr || (!row->takesValue && equals != std::wstring::npos))
            return UsageError{IDS_UNKNOWN_OPTION, arg};
        std::wstring value;
        if (row->takesValue) {
            if (equals != std::wstring::npos)
                value = arg.substr(equals + 1);
            else if (i + 1 < args.size())
                value = args[++i];
            else
                return UsageError{IDS_OPTION_NEEDS_VALUE, row->name};
        }
        tokens.options.emplace_back(row, value);
    }
    return std::nullopt;
}

// The second words of a group's commands: "show, make, read, write, erase".
bool IsGroup(const std::wstring& word) {
    return std::find(std::begin(kGroups), std::end(kGroups), word) != std::end(kGroups);
}

std::wstring CommandsOfGroup(const std::wstring& group) {
    std::wstring list;
    for (const CommandRow& row : kCommandRows) {
        const std::wstring name = row.name;
        if (name.compare(0, group.size() + 1, group + L" ") == 0)
            list += (list.empty() ? L"" : L", ") + name.substr(group.size() + 1);
    }
    return list;
}

// The command named by the first one or two words; they are taken off the list.
std::optional<UsageError> FindCommand(std::vector<std::wstring>& words, const CommandRow*& found) {
    if (words.empty())
        return UsageError{IDS_MISSING_COMMAND, L""};
    std::wstring name = words.front();
    size_t used = 1;
    if (IsGroup(name)) {
        if (words.size() == 1)
            return UsageError{IDS_GROUP_NEEDS_COMMAND, name, CommandsOfGroup(name)};
        name += L" " + words[1];
        used = 2;
    }
    for (const CommandRow& row : kCommandRows) {
        if (name == row.name) {
            found = &row;
            words.erase(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(used));
            return std::nullopt;
        }
    }
    return UsageError{IDS_UNKNOWN_COMMAND, name};
}

// What help was asked about: a group alone ("pi"), or a command. The words are taken off
// the list.
std::optional<UsageError> FindHelpTopic(std::vector<std::wstring>& words, std::wstring& topic) {
    if (IsGroup(words.front()) && words.size() == 1) {
        topic = words.front();
        words.clear();
        return std::nullopt;
    }
    const CommandRow* row = nullptr;
    if (auto error = FindCommand(words, row))
        return error;
    topic = row->name;
    return std::nullopt;
}

// --from and --to, each a day, a minute or a second (core::ParsePeriodBound).
std::optional<UsageError> CheckPeriod(Invocation& inv) {
    for (Option option : {Option::From, Option::To}) {
        if (!inv.Has(option))
            continue;
        std::optional<core::PeriodBound> bound =
            core::ParsePeriodBound(core::ToUtf8(inv.Value(option)), option == Option::To);
        if (!bound)
            return UsageError{IDS_BAD_PERIOD, RowOf(option).name + std::wstring(L" ") + inv.Value(option)};
        (option == Option::From ? inv.period.from : inv.period.to) = bound;
    }
    const std::optional<core::PeriodBound>&from = inv.period.from, &to = inv.period.to;
    // Two wall-clock times, or two instants; a wall-clock time and an instant cannot be told apart
    // without the ledger's offsets.
    if (from && to && from->time.offsetMinutes.has_value() == to->time.offsetMinutes.has_value() &&
        (from->time.offsetMinutes ? from->time.Instant() > to->time.Instant()
                                  : from->time.wallSeconds > to->time.wallSeconds))
        return UsageError{IDS_PERIOD_REVERSED, L""};
    return std::nullopt;
}

// Who runs a station, as the ledger records it: 1 to 64 characters, none a control character
// (a spreadsheet formula is neutralised where the ledger writes it).
bool IsOperatorId(const std::wstring& id) {
    return !id.empty() && id.size() <= 64 && std::none_of(id.begin(), id.end(), [](wchar_t ch) {
        return ch < 0x20 || (ch >= 0x7F && ch < 0xA0) || (ch >= 0x202A && ch <= 0x202E) ||
               (ch >= 0x2066 && ch <= 0x2069);
    });
}

std::optional<UsageError> CheckCombinations(const CommandRow& row, Invocation& inv) {
    for (const OptionRow& option : kOptionRows) {
        if (row.required.Has(option.id) && !inv.Has(option.id))
            return UsageError{IDS_MISSING_OPTION, option.name};
    }
    if (row.handler == PiMake && inv.Has(Option::Uuid) == inv.Has(Option::NewUuid))
        return UsageError{IDS_UUID_OR_NEW_UUID, L""};
    if ((row.handler == PiErase || row.handler == OptErase) && !inv.Has(Option::Yes))
        return UsageError{IDS_ERASE_NEEDS_YES, L""};
    if (row.handler == LineRun && !inv.Has(Option::Ledger))
        return UsageError{IDS_LINE_NEEDS_LEDGER, L""};
    if (inv.Has(Option::Operator) && !IsOperatorId(inv.Value(Option::Operator)))
        return UsageError{IDS_BAD_OPERATOR, L""};
    if (inv.Has(Option::Number) && !core::ParseStrictNumberText(inv.Value(Option::Number)))
        return UsageError{IDS_BAD_NUMBER, RowOf(Option::Number).name};
    if (inv.Has(Option::Station)) {
        if (!inv.Has(Option::Ledger))
            return UsageError{IDS_STATION_NEEDS_LEDGER, L""};
        std::optional<core::Station> station = core::ParseStation(core::ToUtf8(inv.Value(Option::Station)));
        if (!station)
            return UsageError{IDS_BAD_STATION, inv.Value(Option::Station)};
        inv.station = *station;
    }
    if (inv.Has(Option::LedgerTimeout)) {
        const std::wstring& text = inv.Value(Option::LedgerTimeout);
        std::optional<uint64_t> seconds = text.size() <= 3 ? core::ParseDecimal(text, kLedgerTimeoutMax) : std::nullopt;
        if (!seconds || *seconds < 1)
            return UsageError{IDS_BAD_LEDGER_TIMEOUT, text};
        inv.ledgerTimeout = static_cast<unsigned>(*seconds);
    }
    return CheckPeriod(inv);
}

std::optional<UsageError> Build(const std::vector<std::wstring>& args, const std::wstring& envLedger, Invocation& inv) {
    Tokens tokens;
    if (auto error = Split(args, tokens))
        return error;
    for (const auto& [row, value] : tokens.options) {
        if (inv.Has(row->id))
            return UsageError{IDS_OPTION_TWICE, row->name};
        inv.options[row->id] = value;
    }
    if (inv.Has(Option::Language)) {
        inv.lang = ParseLang(inv.Value(Option::Language));
        if (!inv.lang)
            return UsageError{IDS_BAD_LANG, inv.Value(Option::Language)};
    }
    if (inv.Has(Option::Help)) {
        // "tolka pi write --help": that command's help, "tolka pi --help" its group's; an
        // unknown command is a usage error, as with "tolka help X".
        inv.handler = ShowHelp;
        if (tokens.words.empty())
            return std::nullopt;
        auto error = FindHelpTopic(tokens.words, inv.file);
        if (inv.file == L"help")
            inv.file.clear();  // "tolka help --help": the whole help
        return error;
    }
    if (inv.Has(Option::Version)) {
        inv.handler = ShowVersion;
        return std::nullopt;
    }
    const CommandRow* row = nullptr;
    if (auto error = FindCommand(tokens.words, row))
        return error;
    inv.handler = row->handler;
    inv.name = row->name;
    if (row->handler == ShowHelp && !tokens.words.empty()) {
        // "tolka help pi write", "tolka help pi": the command or group asked about must be one.
        if (auto error = FindHelpTopic(tokens.words, inv.file))
            return error;
    }
    for (const auto& [option, value] : inv.options) {
        if (!IsGlobal(option) && !row->options.Has(option))
            return UsageError{IDS_OPTION_NOT_FOR_COMMAND, RowOf(option).name};
    }
    if (row->options.Has(Option::Ledger) && !inv.Has(Option::Ledger) && !envLedger.empty())
        inv.options[Option::Ledger] = envLedger;
    if (row->ledgerAsFile && tokens.words.empty() && !envLedger.empty())
        tokens.words.push_back(envLedger);
    if (row->takesFile) {
        if (tokens.words.empty())
            return UsageError{IDS_MISSING_FILE, L""};
        inv.file = tokens.words.front();
        tokens.words.erase(tokens.words.begin());
    }
    if (!tokens.words.empty())
        return UsageError{IDS_EXTRA_ARGUMENT, tokens.words.front()};
    return CheckCombinations(*row, inv);
}

// "  synopsis" and the text beside it from the 25th column, or below the synopsis when that
// is longer; the text's further lines start in the same column.
void AddHelpEntry(std::wstring& help, const std::wstring& synopsis, const std::wstring& text) {
    constexpr size_t kColumn = 24;
    std::wstring entry = L"\n  " + synopsis;
    const size_t used = synopsis.size() + 2;
    entry += used < kColumn ? std::wstring(kColumn - used, L' ') : L"\n" + std::wstring(kColumn, L' ');
    for (wchar_t c : text)
        entry += c == L'\n' ? L"\n" + std::wstring(kColumn, L' ') : std::wstring(1, c);
    help += entry;
}

// The options a command takes (all of them for none), as the help lists them.
void AddOptionEntries(std::wstring& help, core::Lang lang, const CommandRow* row) {
    for (const OptionRow& option : kOptionRows) {
        if (option.synopsis != nullptr && (row == nullptr || IsGlobal(option.id) || row->options.Has(option.id)))
            AddHelpEntry(help, option.synopsis, core::Text(lang, option.helpId));
    }
}

}  // namespace

std::vector<std::wstring> CommandNames() {
    std::vector<std::wstring> names;
    for (const CommandRow& row : kCommandRows)
        names.push_back(row.name);
    return names;
}

std::wstring HelpText(core::Lang lang, const std::wstring& command) {
    std::wstring help;
    if (command.empty()) {
        help = core::Text(lang, IDS_HELP_USAGE) + L"\n\n" + core::Text(lang, IDS_HELP_COMMANDS);
        for (const CommandRow& row : kCommandRows)
            AddHelpEntry(help, row.synopsis, core::Text(lang, row.helpId));
        help += L"\n\n" + core::Text(lang, IDS_HELP_OPTIONS);
        AddOptionEntries(help, lang, nullptr);
        return help + L"\n\n" + core::Text(lang, IDS_HELP_EXIT_CODES);
    }
    if (IsGroup(command)) {
        help = core::Text(lang, IDS_HELP_USAGE) + L"\n\n" + core::Text(lang, IDS_HELP_COMMANDS);
        for (const CommandRow& row : kCommandRows) {
            if (std::wstring(row.name).compare(0, command.size() + 1, command + L" ") == 0)
                AddHelpEntry(help, row.synopsis, core::Text(lang, row.helpId));
        }
        return help;
    }
    for (const CommandRow& row : kCommandRows) {
        if (command != row.name)
            continue;
        help = core::Text(lang, IDS_HELP_USAGE_OF, {row.synopsis}) + L"\n  ";
        for (wchar_t c : core::Text(lang, row.helpId))
            help += c == L'\n' ? std::wstring(L"\n  ") : std::wstring(1, c);
        help += L"\n\n" + core::Text(lang, IDS_HELP_OPTIONS);
        AddOptionEntries(help, lang, &row);
        return help;
    }
    return help;
}

const std::wstring& Invocation::Value(Option option) const {
    static const std::wstring kNone;
    auto it = options.find(option);
    return it == options.end() ? kNone : it->second;
}

ParsedArgs ParseArgs(const std::vector<std::wstring>& args, const std::wstring& ledgerFromEnvironment) {
    ParsedArgs parsed;
    parsed.error = Build(args, ledgerFromEnvironment, parsed.invocation);
    // Looked for again word by word: a usage error may have stopped the parse before them.
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == L"--")
            break;
        if (args[i] == L"--json")
            parsed.json = true;
        else if (args[i] == L"--lang" && i + 1 < args.size())
            parsed.lang = ParseLang(args[i + 1]);
        else if (args[i].rfind(L"--lang=", 0) == 0)
            parsed.lang = ParseLang(args[i].substr(7));
    }
    return parsed;
}

}  // namespace cli
