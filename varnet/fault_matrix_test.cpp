// The fault matrix's rules catch the mistakes they are there for: small operations on the
// model, one careful and the others each with one mistake, run through the whole matrix.
#include "varnet/fault_matrix_test_support.h"

#include <gtest/gtest.h>

#include <functional>

#include "varnet/call_log.h"
#include "varnet/memory_store_test_support.h"
#include "varnet/model_link.h"

namespace faultmatrix {
namespace {

using Bytes = std::vector<uint8_t>;

// What the operations can get wrong.
struct Mistakes {
    bool ignoreWriteResult = false;      // reports success after the write, failed or not
    bool nextSlotOnReadFailure = false;  // writes elsewhere after a failed read
    bool silent = false;                 // tells nothing on failure
    bool leakHandle = false;             // forgets its handle on failure without closing it
};

// Opens, finds the slot 0x7000 free, writes a record there, reads it back, closes.
Run WriteOnce(const Mistakes& m, uint32_t failCall) {
    vboard::MemoryStore store;
    store.files[vboard::kFlashFile] = vboard::FlashImage::NewBoard().Bytes();
    if (failCall)
        store.SetText(vboard::kIniFile, "[faults]\nfail_call=" + std::to_string(failCall) + "\n");
    vboard::ModelLink link(store);
    Run run;
    bool holding = false;  // what the operation believes: whether it holds a handle
    auto say = [&](const std::string& text, bool ok) {
        if (ok || !m.silent)
            run.messages.push_back({text, ok ? 0x40u : 0x30u, vboard::CountCalls(store.Text(vboard::kLogFile))});
    };
    auto snapshot = [&] {
        State s;
        s.flash = store.files[vboard::kFlashFile];
        s.window["connected"] = holding ? "yes" : "no";
        return s;
    };
    run.before = snapshot();
    const Bytes record(128, 0x00);
    Bytes buffer(128);
    TOLKA_HANDLE h = link.FlashModeOpen(TOLKA_IF_ALL, 0);
    holding = h != nullptr;
    if (!h) {
        say("no board", false);
    } else {
        uint32_t slot = 0x7000;
        bool ok = link.FlshRead(h, slot, buffer.data()) == 0;
        if (!ok && m.nextSlotOnReadFailure) {
            slot = 0x7080;
            ok = true;
        }
        if (!ok) {
            say("read failed", false);
        } else if (m.ignoreWriteResult) {
            link.FlshWrite(h, slot, record.data(), 128);
            say("written", true);
        } else if (link.FlshWrite(h, slot, record.data(), 128) != 0) {
            say("write failed", false);
        } else if (link.FlshRead(h, slot, buffer.data()) != 0 || buffer != record) {
            say("verify failed", false);
        } else {
            say("written", true);
        }
        if (!m.leakHandle || run.messages.back().text == "written")
            link.FlashModeClose(h, 0);
        holding = false;
    }
    run.after = snapshot();
    std::string log = store.Text(vboard::kLogFile);
    for (size_t start = 0; start < log.size();) {
        size_t end = log.find('\n', start);
        run.log.push_back(log.substr(start, end - start));
        start = end + 1;
    }
    return run;
}

std::vector<std::string> Problems(const Row& row) {
    std::vector<std::string> all = row.cleanProblems;
    for (const Cell& cell : row.cells)
        all.insert(all.end(), cell.problems.begin(), cell.problems.end());
    return all;
}

TEST(FaultMatrix, EachMistakeIsFoundAndACarefulOperationPasses) {
    struct Case {
        const char* name;
        Mistakes mistakes;
        std::vector<std::string> found;  // every problem, in order
    };
    Mistakes ignore, nextSlot, silent, leak;
    ignore.ignoreWriteResult = true;
    nextSlot.nextSlotOnReadFailure = true;
    silent.silent = true;
    leak.leakHandle = true;
    const Case cases[] = {
        {"careful", Mistakes(), {}},
        {"ignores the write's result",
         ignore,
         {"says \"written\" although Varn_FlshWrite(h1, 0x7000, 128) failed",
          "the user is not told that Varn_FlshWrite(h1, 0x7000, 128) failed"}},
        {"writes elsewhere after a failed read",
         nextSlot,
         {"says \"written\" although Varn_FlshRead(h1, 0x7000) failed",
          "the user is not told that Varn_FlshRead(h1, 0x7000) failed",
          "Varn_FlshWrite(h1, 0x7080, 128) after the failure",
          "flash.bin is not what the calls that succeeded made of it (first difference at 0x7080)"}},
        {"says nothing",
         silent,
         {"the user is not told that Tolka_FlashModeOpen(0xE0000000, 0) failed",
          "the user is not told that Varn_FlshRead(h1, 0x7000) failed",
          "the user is not told that Varn_FlshWrite(h1, 0x7000, 128) failed",
          "the user is not told that Varn_FlshRead(h1, 0x7000) failed"}},
        {"keeps its handle on failure",
         leak,
         {"handles opened and not closed: 1, but the window says not connected",
          "handles opened and not closed: 1, but the window says not connected",
          "handles opened and not closed: 1, but the window says not connected"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Row row = RunOperation(
            c.name, [&](uint32_t n) { return WriteOnce(c.mistakes, n); }, nullptr);
        EXPECT_EQ(Problems(row), c.found) << FormatMatrix({row});
    }
}

TEST(FaultMatrix, ParsesCallsAndTheirResults) {
    const std::vector<std::string> log = {
        "process: 12 TolkaPIWriter.exe",
        "message: ボードが見つかりませんでした。",
        "Tolka_FlashModeOpen(0xE0000000, 0) = null",
        "Tolka_FlashModeOpen(0xE0000000, 0) = h2",
        "Varn_GetIFType(h2) = 0x40000000",
        "Varn_SetTimeouts(h2, 1000, 1000)",
        "warning: Varn_FlshWrite: length 64: the board writes 128 bytes at a time",
        "Varn_FlshWrite(h2, 0x7000, 64) = 3",
        "Varn_FlshRead(h2, 0x7000) = 0",
    };
    struct Expected {
        const char* call;
        bool failed, message;
    } expected[] = {
        {"Tolka_FlashModeOpen(0xE0000000, 0)", true, true},
        {"Tolka_FlashModeOpen(0xE0000000, 0)", false, false},
        {"Varn_GetIFType(h2)", false, false},
        {"Varn_SetTimeouts(h2, 1000, 1000)", false, false},
        {"Varn_FlshWrite(h2, 0x7000, 64)", true, false},
        {"Varn_FlshRead(h2, 0x7000)", false, false},
    };
    std::vector<LoggedCall> calls = ParseCalls(log);
    ASSERT_EQ(calls.size(), sizeof expected / sizeof expected[0]);
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].call, expected[i].call);
        EXPECT_EQ(Failed(calls[i]), expected[i].failed) << calls[i].call;
        EXPECT_EQ(calls[i].libraryMessage, expected[i].message) << calls[i].call;
    }
}

}  // namespace
}  // namespace faultmatrix
