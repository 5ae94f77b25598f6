#include "varnet/fault_matrix_test_support.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "varnet/board.h"
#include "varnet/call_log.h"

namespace faultmatrix {
namespace {

const std::set<std::string> kCanFail = {
    "Tolka_FlashModeOpen", "Tolka_ShowProductInfo", "Varn_FlshEchoTest",   "Varn_FlshRead",
    "Varn_FlshWrite",      "Varn_FlshErase",        "Varn_FlshReadRWArea", "Varn_FlshWriteRWArea",
};
const std::set<std::string> kChanges = {"Varn_FlshWrite", "Varn_FlshErase", "Varn_FlshWriteRWArea"};

// The arguments of a logged call, as written.
std::vector<std::string> Arguments(const LoggedCall& call) {
    std::vector<std::string> args;
    size_t open = call.call.find('(');
    size_t close = call.call.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close <= open + 1)
        return args;
    std::string inside = call.call.substr(open + 1, close - open - 1);
    for (size_t start = 0;;) {
        size_t comma = inside.find(", ", start);
        args.push_back(inside.substr(start, comma - start));
        if (comma == std::string::npos)
            return args;
        start = comma + 2;
    }
}

uint32_t Number(const std::string& text) {
    return static_cast<uint32_t>(std::stoul(text, nullptr, 0));
}

bool SameCalls(const std::vector<LoggedCall>& a, size_t aFrom, const std::vector<LoggedCall>& b, size_t bFrom) {
    if (a.size() - aFrom != b.size() - bFrom)
        return false;
    for (size_t i = 0; i < a.size() - aFrom; ++i) {
        if (a[aFrom + i].call != b[bFrom + i].call || a[aFrom + i].result != b[bFrom + i].result)
            return false;
    }
    return true;
}

bool IsWarning(unsigned type) {
    const unsigned icon = type & 0xF0u;
    return icon == 0x30u || icon == 0x10u;  // exclamation, error
}

bool Connected(const State& state) {
    auto it = state.window.find("connected");
    return it != state.window.end() && it->second == "yes";
}

std::string Hex(size_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%04zX", value);
    return text;
}

// The flash and area 5 that the changing calls of `faulty` which succeeded make of its
// starting state; what a write stored is taken from the clean run, which wrote the same.
void ExpectedBoard(const Run& clean,
                   const Run& faulty,
                   std::vector<uint8_t>& flash,
                   std::optional<std::vector<uint8_t>>& area5) {
    flash = faulty.before.flash;
    area5 = faulty.before.area5;
    for (const LoggedCall& call : ParseCalls(faulty.log)) {
        const std::string function = call.Function();
        if (!Changes(function) || Failed(call))
            continue;
        std::vector<std::string> args = Arguments(call);
        if (function == "Varn_FlshErase" && args.size() == 2 && Number(args[1]) == vboard::kEraseProductInfo) {
            if (flash.size() < vboard::kProductAreaEnd)
                flash.resize(vboard::kProductAreaEnd, vboard::kErased);
            std::fill(flash.begin() + vboard::kProductAreaBegin, flash.begin() + vboard::kProductAreaEnd,
                      vboard::kErased);
        } else if (function == "Varn_FlshErase") {
            area5.reset();
        } else if (function == "Varn_FlshWrite" && args.size() == 3) {
            const size_t address = Number(args[1]);
            const size_t end = address + Number(args[2]);
            if (flash.size() < end)
                flash.resize(end, vboard::kErased);
            for (size_t a = address; a < end; ++a)
                flash[a] &= a < clean.after.flash.size() ? clean.after.flash[a] : vboard::kErased;
        } else if (function == "Varn_FlshWriteRWArea") {
            area5 = clean.after.area5;
        }
    }
}

void CheckBoard(const Run& clean, const Run& faulty, Verdict& verdict) {
    std::vector<uint8_t> flash;
    std::optional<std::vector<uint8_t>> area5;
    ExpectedBoard(clean, faulty, flash, area5);
    if (faulty.after.flash != flash) {
        size_t at = 0;
        while (at < flash.size() && at < faulty.after.flash.size() && flash[at] == faulty.after.flash[at])
            ++at;
        verdict.problems.push_back("flash.bin is not what the calls that succeeded made of it (first difference at " +
                                   Hex(at) + ")");
    }
    if (faulty.after.area5 != area5)
        verdict.problems.push_back("area5.bin is not what the calls that succeeded made of it");

    if (faulty.after.flash == faulty.before.flash && faulty.after.area5 == faulty.before.area5)
        verdict.notes.push_back("board unchanged");
    else if (faulty.after.flash == clean.after.flash && faulty.after.area5 == clean.after.area5)
        verdict.notes.push_back("board as in the clean run");
    else
        verdict.notes.push_back("board partly changed");
}

// The first differences between two outcomes that should be the same.
std::vector<std::string> Differences(const Run& expected, const Run& actual) {
    std::vector<std::string> differences;
    std::vector<std::string> expectedTexts, actualTexts;
    for (const Shown& m : expected.messages)
        expectedTexts.push_back(m.text);
    for (const Shown& m : actual.messages)
        actualTexts.push_back(m.text);
    if (expectedTexts != actualTexts)
        differences.push_back("other messages");
    if (expected.after.flash != actual.after.flash || expected.after.area5 != actual.after.area5)
        differences.push_back("the board");
    if (expected.after.files != actual.after.files)
        differences.push_back("the user's files");
    for (const auto& item : expected.after.window) {
        auto it = actual.after.window.find(item.first);
        if (it == actual.after.window.end() || it->second != item.second)
            differences.push_back(item.first + " " + (it == actual.after.window.end() ? "?" : it->second));
    }
    return differences;
}

}  // namespace

std::vector<LoggedCall> ParseCalls(const std::vector<std::string>& logLines) {
    std::vector<LoggedCall> calls;
    bool message = false;
    for (const std::string& line : logLines) {
        if (line.compare(0, 9, "message: ") == 0)
            message = true;
        if (!vboard::IsCallLine(line))
            continue;
        LoggedCall call;
        size_t close = line.find(')');
        call.call = line.substr(0, close + 1);
        if (close != std::string::npos && line.compare(close + 1, 3, " = ") == 0)
            call.result = line.substr(close + 4);
        call.libraryMessage = message;
        message = false;
        calls.push_back(call);
    }
    return calls;
}

bool CanFail(const std::string& function) {
    return kCanFail.count(function) != 0;
}

bool Changes(const std::string& function) {
    return kChanges.count(function) != 0;
}

bool Failed(const LoggedCall& call) {
    const std::string& r = call.result;
    if (r.empty() || r.compare(0, 2, "0x") == 0 || (r[0] == 'h' && r.size() > 1))
        return false;  // no result, an interface type, a handle
    return r != "0";
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

void CheckAnyRun(const Run& run, std::vector<std::string>& problems) {
    int opened = 0;
    for (const LoggedCall& call : ParseCalls(run.log)) {
        const std::string function = call.Function();
        if (function == "Tolka_FlashModeOpen" && !Failed(call))
            ++opened;
        if (function == "Tolka_FlashModeClose")
            --opened;
        if (call.call.find("(invalid") != std::string::npos || call.call.find("(null") != std::string::npos)
            problems.push_back(call.call + " without an open handle");
    }
    const int stillOpen = (Connected(run.after) ? 1 : 0) - (Connected(run.before) ? 1 : 0);
    if (opened != stillOpen)
        problems.push_back("handles opened and not closed: " + std::to_string(opened) + ", but the window says " +
                           (Connected(run.after) ? "connected" : "not connected"));
    for (const auto& file : run.before.files) {
        auto it = run.after.files.find(file.first);
        if (it == run.after.files.end() || it->second != file.second)
            problems.push_back("the user's file " + file.first + " changed");
    }
}

Verdict CheckFaultyRun(const Run& clean, const Run& faulty, size_t index, const EditorRule& editorRule) {
    Verdict verdict;
    const std::vector<LoggedCall> cleanCalls = ParseCalls(clean.log);
    const std::vector<LoggedCall> calls = ParseCalls(faulty.log);
    const LoggedCall& target = cleanCalls[index];
    bool prefix = calls.size() > index && calls[index].call == target.call && Failed(calls[index]);
    for (size_t i = 0; prefix && i < index; ++i)
        prefix = calls[i].call == cleanCalls[i].call && calls[i].result == cleanCalls[i].result;
    if (!prefix) {
        verdict.problems.push_back("the run did not go as the clean run up to the failed call " + target.call);
        return verdict;
    }

    verdict.retried = calls.size() > index + 1 && calls[index + 1].call == target.call &&
                      SameCalls(calls, index + 1, cleanCalls, index);
    if (verdict.retried) {
        verdict.notes.push_back("retried");
        for (const std::string& difference : Differences(clean, faulty))
            verdict.problems.push_back("retried, but unlike the clean run: " + difference);
    } else {
        std::vector<std::string> said;
        bool warned = calls[index].libraryMessage;
        if (warned)
            said.push_back("(library's message)");
        std::set<std::string> laterSuccesses;
        for (const Shown& m : clean.messages) {
            if (m.afterCalls > index)
                laterSuccesses.insert(m.text);
        }
        for (const Shown& m : faulty.messages) {
            if (m.afterCalls <= index)
                continue;
            said.push_back(FirstLine(m.text));
            warned = warned || IsWarning(m.type);
            if (laterSuccesses.count(m.text))
                verdict.problems.push_back("says \"" + FirstLine(m.text) + "\" although " + target.call + " failed");
        }
        if (!warned)
            verdict.problems.push_back("the user is not told that " + target.call + " failed");
        std::string text;
        for (const std::string& s : said)
            text += (text.empty() ? "" : " + ") + s;
        verdict.notes.push_back(text.empty() ? "(nothing said)" : text);
        for (size_t i = index + 1; i < calls.size(); ++i) {
            if (Changes(calls[i].Function()) && !Failed(calls[i]))
                verdict.problems.push_back(calls[i].call + " after the failure");
        }
    }
    verdict.notes.push_back(Connected(faulty.after) ? "connected" : "not connected");
    CheckBoard(clean, faulty, verdict);
    CheckAnyRun(faulty, verdict.problems);
    if (editorRule)
        editorRule(clean, faulty, verdict);
    return verdict;
}

Row RunOperation(const std::string& name, const Runner& run, const EditorRule& editorRule) {
    Row row;
    row.operation = name;
    const Run clean = run(0);
    CheckAnyRun(clean, row.cleanProblems);
    const std::vector<LoggedCall> calls = ParseCalls(clean.log);
    for (size_t i = 0; i < calls.size(); ++i) {
        Cell cell;
        cell.number = i + 1;
        cell.call = calls[i].call;
        cell.canFail = CanFail(calls[i].Function());
        if (Failed(calls[i]))
            row.cleanProblems.push_back(calls[i].call + " failed in the clean run");
        if (cell.canFail) {
            Verdict verdict = CheckFaultyRun(clean, run(static_cast<uint32_t>(i + 1)), i, editorRule);
            for (const std::string& note : verdict.notes)
                cell.outcome += (cell.outcome.empty() ? "" : " | ") + note;
            cell.problems = verdict.problems;
        }
        row.cells.push_back(cell);
    }
    return row;
}

std::string FormatMatrix(const std::vector<Row>& rows) {
    std::string out;
    for (const Row& row : rows) {
        size_t canFail = 0, problems = row.cleanProblems.size(), width = 4;
        for (const Cell& cell : row.cells) {
            canFail += cell.canFail ? 1 : 0;
            problems += cell.problems.size();
            width = std::max(width, cell.call.size());
        }
        out += "== " + row.operation + ": " + std::to_string(row.cells.size()) + " calls, " + std::to_string(canFail) +
               " can fail, " + std::to_string(problems) + " problems\n";
        for (const std::string& problem : row.cleanProblems)
            out += "     !! clean run: " + problem + "\n";
        if (row.cells.empty())
            out += "     (no call)\n";
        for (const Cell& cell : row.cells) {
            char number[16];
            std::snprintf(number, sizeof number, "%4zu ", cell.number);
            out += number + cell.call + std::string(width - cell.call.size(), ' ') + " -> " +
                   (cell.canFail ? cell.outcome : "(cannot fail)") + "\n";
            for (const std::string& problem : cell.problems)
                out += "     !! " + problem + "\n";
        }
    }
    return out;
}

size_t CountProblems(const std::vector<Row>& rows) {
    size_t problems = 0;
    for (const Row& row : rows) {
        problems += row.cleanProblems.size();
        for (const Cell& cell : row.cells)
            problems += cell.problems.size();
    }
    return problems;
}

}  // namespace faultmatrix
