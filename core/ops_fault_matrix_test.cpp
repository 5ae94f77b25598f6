// The fault matrix of the portable board operations, natively on the virtual board's model:
// each operation runs once on a healthy board and once per call of its sequence with that
// call failing (fail_call), held to the rules of varnet/fault_matrix_test_support.h. An operation's
// result takes the place of the window's message: a failure must come back as a failure.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "core/optionops.h"
#include "core/records_test_support.h"
#include "core/writerops.h"
#include "varnet/call_log.h"
#include "varnet/fault_matrix_test_support.h"
#include "varnet/memory_store_test_support.h"
#include "varnet/model_link.h"

namespace core {
namespace {

using faultmatrix::Run;
using faultmatrix::State;
using faultmatrix::Verdict;
using testrecords::MakeRecord;
using Bytes = std::vector<uint8_t>;

constexpr unsigned kSuccess = 0x40;  // as an information box
constexpr unsigned kFailure = 0x30;  // as a warning box

const wchar_t kVarnex[] = L"3aa4096d-2cc0-46dd-878a-88511d75ac78";
const wchar_t kOther[] = L"01234567-89ab-cdef-0123-456789abcdef";

// The board, the open handle and what the operation reported, for one run.
struct Bench {
    vboard::MemoryStore store;
    vboard::ModelLink link{store};
    TOLKA_HANDLE device = nullptr;
    Run run;
    std::map<std::string, std::string> report;  // what the operation returned, named

    void Put(uint32_t address, const RecordImage& record) {
        Bytes& flash = store.files[vboard::kFlashFile];
        std::copy(record.begin(), record.end(), flash.begin() + address);
    }
    // The operation's result, placed where a window would show its message.
    void Reported(const std::string& result, bool success) {
        run.messages.push_back(
            {result, success ? kSuccess : kFailure, vboard::CountCalls(store.Text(vboard::kLogFile))});
    }
    State Snapshot() const {
        State state;
        state.flash = store.files.at(vboard::kFlashFile);
        auto area = store.files.find(vboard::kAreaFile);
        if (area != store.files.end())
            state.area5 = area->second;
        state.window = report;
        state.window["connected"] = link.OpenHandles() ? "yes" : "no";
        return state;
    }
};

class Yes : public WriteQuestions {
public:
    bool ContinueDespite(KindMismatch) override { return true; }
};

const char* ReadName(ReadResult r) {
    switch (r) {
        case ReadResult::Found:
            return "Found";
        case ReadResult::Empty:
            return "Empty";
        case ReadResult::NoAnswer:
            return "NoAnswer";
        case ReadResult::ReadFailed:
            return "ReadFailed";
    }
    return "?";
}

const char* WriteName(WriteOutcome o) {
    switch (o) {
        case WriteOutcome::Written:
            return "Written";
        case WriteOutcome::Refused:
            return "Refused";
        case WriteOutcome::ReadFailed:
            return "ReadFailed";
        case WriteOutcome::EraseFailed:
            return "EraseFailed";
        case WriteOutcome::WriteFailed:
            return "WriteFailed";
        case WriteOutcome::VerifyFailed:
            return "VerifyFailed";
    }
    return "?";
}

void ReadCurrent(Bench& b) {
    CurrentRecord current;
    ReadResult r = ReadCurrentRecord(b.link, b.device, current);
    b.report["result"] = ReadName(r);
    if (r == ReadResult::Found)
        b.report["record"] = std::string(current.record.begin(), current.record.end());
    b.Reported(ReadName(r), r == ReadResult::Found || r == ReadResult::Empty);
}

void Write(Bench& b, const RecordImage& record) {
    Yes yes;
    WriteReport report = WriteRecord(b.link, b.device, record, yes);
    b.report["result"] = WriteName(report.outcome);
    b.report["erased"] = report.erased ? "yes" : "no";
    b.Reported(WriteName(report.outcome), report.outcome == WriteOutcome::Written);
}

void FillArea(Bench& b) {
    for (uint32_t a = kFirstSlot; a <= kLastSlot; a += kSlotStep)
        b.Put(a, MakeRecord(kOther, a));
}

void TwoRecords(Bench& b) {
    b.Put(0x7000, MakeRecord(kOther, 1));
    b.Put(0x7080, MakeRecord(kOther, 2));
}

PortOptionImage OptionImage() {
    PortOptionImage image;
    image.fill(0xFF);
    image[0] = image[1] = 0x00;
    for (size_t i = kPortBytesBegin; i < kPortBytesEnd; ++i)
        image[i] = static_cast<uint8_t>(0x11 * i);
    return image;
}

void ReadOptions(Bench& b) {
    PortOptionImage image{};
    OptionReadResult r = ReadPortOptions(b.link, b.device, image);
    const char* names[] = {"Ok", "UnsupportedFirmware", "NoSettings"};
    if (r == OptionReadResult::Ok)
        b.report["image"] = std::string(image.begin(), image.end());
    b.Reported(names[static_cast<int>(r)], r == OptionReadResult::Ok);
}

void WriteOptions(Bench& b) {
    OptionWriteResult r = WritePortOptions(b.link, b.device, OptionImage());
    const char* names[] = {"Ok", "UnsupportedFirmware", "WriteFailed"};
    b.Reported(names[static_cast<int>(r)], r == OptionWriteResult::Ok);
}

struct Operation {
    const char* name;
    const char* boardIni;  // [board] lines
    std::function<void(Bench&)> board;
    std::function<void(Bench&)> act;
};

const Operation kOperations[] = {
    {"read the current record", "", TwoRecords, ReadCurrent},
    {"read the current record of an empty area", "", nullptr, ReadCurrent},
    {"write a record into a free slot", "", TwoRecords, [](Bench& b) { Write(b, MakeRecord(kOther, 7)); }},
    {"write a record into a full area", "", FillArea, [](Bench& b) { Write(b, MakeRecord(kOther, 7)); }},
    {"write the Varnex kind to a LAN board", "interface=0x40000000\n", TwoRecords,
     [](Bench& b) { Write(b, MakeRecord(kVarnex, 7)); }},
    {"erase the product-information area", "", TwoRecords,
     [](Bench& b) {
         bool erased = EraseProductInfo(b.link, b.device);
         b.Reported(erased ? "erased" : "not erased", erased);
     }},
    {"check the firmware for the port option area", "", nullptr,
     [](Bench& b) {
         bool supported = IsOptionAreaSupported(b.link, b.device);
         b.Reported(supported ? "supported" : "unsupported", supported);
     }},
    {"read the port options", "", nullptr, ReadOptions},
    {"write the port options", "", nullptr, WriteOptions},
    {"erase the port options", "", nullptr,
     [](Bench& b) {
         bool erased = ErasePortOptions(b.link, b.device) == OptionEraseResult::Ok;
         b.Reported(erased ? "erased" : "not erased", erased);
     }},
};

void PrintTo(const Operation& op, std::ostream* os) {
    *os << op.name;
}

Run MakeRun(const Operation& op, uint32_t failCall) {
    Bench b;
    b.store.files[vboard::kFlashFile] = vboard::FlashImage::NewBoard().Bytes();
    b.store.files[vboard::kAreaFile] = Bytes(128, 0x5A);
    if (op.board)
        op.board(b);
    const std::string ini = std::string("[board]\n") + op.boardIni;
    b.store.SetText(vboard::kIniFile, ini);
    b.device = b.link.FlashModeOpen(TOLKA_IF_ALL, 0);
    b.store.files.erase(vboard::kLogFile);
    if (failCall != 0)
        b.store.SetText(vboard::kIniFile, ini + "[faults]\nfail_call=" + std::to_string(failCall) + "\n");
    b.run.before = b.Snapshot();
    op.act(b);
    b.run.after = b.Snapshot();
    std::string log = b.store.Text(vboard::kLogFile);
    for (size_t start = 0; start < log.size();) {
        size_t end = log.find('\n', start);
        b.run.log.push_back(log.substr(start, end - start));
        start = end + 1;
    }
    return b.run;
}

// What the operations report must be true of the board: a record found is the newest valid
// slot, "erased" says whether the area was erased, port options read are area 5's.
void CoreRule(const Run&, const Run& faulty, Verdict& verdict) {
    const auto& report = faulty.after.window;
    auto record = report.find("record");
    if (record != report.end()) {
        const Bytes& flash = faulty.after.flash;
        std::string newest;
        for (uint32_t slot = kLastSlot; newest.empty() && slot >= kFirstSlot; slot -= kSlotStep) {
            if (ReadSlotStatus(flash.data() + slot) == kSlotValid)
                newest.assign(flash.begin() + slot, flash.begin() + slot + 128);
        }
        if (record->second != newest)
            verdict.problems.push_back("the record reported is not the board's newest");
    }
    auto image = report.find("image");
    if (image != report.end() &&
        (!faulty.after.area5 || image->second != std::string(faulty.after.area5->begin(), faulty.after.area5->end())))
        verdict.problems.push_back("the port options reported are not area 5's");
    auto erased = report.find("erased");
    if (erased != report.end()) {
        bool didErase = false;
        for (const faultmatrix::LoggedCall& call : faultmatrix::ParseCalls(faulty.log))
            didErase = didErase || (call.Function() == "Varn_FlshErase" && !faultmatrix::Failed(call));
        if ((erased->second == "yes") != didErase)
            verdict.problems.push_back("the report says erased=" + erased->second);
    }
}

class CoreFaultMatrix : public ::testing::TestWithParam<Operation> {};

TEST_P(CoreFaultMatrix, EveryCallFailingInTurn) {
    const Operation& op = GetParam();
    std::vector<faultmatrix::Row> rows = {faultmatrix::RunOperation(
        op.name, [&](uint32_t failCall) { return MakeRun(op, failCall); }, CoreRule)};
    const std::string table = faultmatrix::FormatMatrix(rows);
    std::fwrite(table.data(), 1, table.size(), stdout);
    EXPECT_GT(rows[0].cells.size(), 0u);
    EXPECT_EQ(faultmatrix::CountProblems(rows), 0u) << "see the lines marked !! in the matrix above";
}

std::string OperationName(const ::testing::TestParamInfo<Operation>& info) {
    std::string name;
    for (const char* c = info.param.name; *c; ++c)
        name += isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Core, CoreFaultMatrix, ::testing::ValuesIn(kOperations), OperationName);

}  // namespace
}  // namespace core
