// The writer's board operations against the virtual board's model: results, what the board
// holds afterwards, and the calls in the order the libraries see them.
#include <gtest/gtest.h>

#include <sstream>

#include "core/records_test_support.h"
#include "core/writerops.h"
#include "varnet/memory_store_test_support.h"
#include "varnet/model_link.h"

namespace core {
namespace {

using testrecords::MakeRecord;
using Lines = std::vector<std::string>;

const wchar_t kOther[] = L"01234567-89ab-cdef-0123-456789abcdef";

class Answers : public WriteQuestions {
public:
    bool ContinueDespite(KindMismatch mismatch) override {
        asked.push_back(mismatch);
        return answer;
    }
    bool answer = true;
    std::vector<KindMismatch> asked;
};

class WriterOps : public ::testing::Test {
protected:
    void SetUp() override {
        device = link.FlashModeOpen(TOLKA_IF_ALL, 0);
        ASSERT_NE(device, nullptr);
    }
    void Board(const std::string& ini) { store.SetText(vboard::kIniFile, ini); }
    // The calls made since the last look.
    Lines Calls() {
        std::istringstream in(store.Text(vboard::kLogFile));
        Lines lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        store.files.erase(vboard::kLogFile);
        return lines;
    }
    RecordImage Slot(uint32_t address) {
        RecordImage r;
        link.Board().Read(address, r.data());
        return r;
    }

    static constexpr uint32_t kSlotSize = 128;
    vboard::MemoryStore store;
    vboard::ModelLink link{store};
    TOLKA_HANDLE device = nullptr;
    Answers answers;
};

TEST_F(WriterOps, CurrentRecordIsTheHighestValidSlot) {
    RecordImage a = MakeRecord(kOther, 1), b = MakeRecord(kOther, 2);
    link.Board().Write(0x7000, a.data(), kSlotSize);
    link.Board().Write(0x7080, b.data(), kSlotSize);
    Calls();
    CurrentRecord current;
    EXPECT_EQ(ReadCurrentRecord(link, device, current), ReadResult::Found);
    EXPECT_EQ(current.slot, 0x7080u);
    EXPECT_EQ(current.record, b);
    EXPECT_EQ(current.slotsUsed, 2u);
    Lines calls = Calls();
    Lines head(calls.begin(), calls.begin() + 3);
    EXPECT_EQ(head, (Lines{"Varn_SetTimeouts(h1, 1000, 1000)", "Varn_FlshEchoTest(h1) = 0",
                           "Varn_SetTimeouts(h1, 5000, 5000)"}));
    EXPECT_EQ(calls.size(), 3u + 31u);  // 0x7F80 down to 0x7080
    EXPECT_EQ(calls.back(), "Varn_FlshRead(h1, 0x7080) = 0");
}

struct ReadCase {
    const char* faults;
    ReadResult expected;
    size_t calls;
};

TEST_F(WriterOps, ReadResultsFollowTheBoard) {
    const ReadCase cases[] = {
        {"", ReadResult::Empty, 3 + 32},
        {"echo_fail_first=1", ReadResult::Empty, 4 + 32},
        {"echo_fail=1", ReadResult::NoAnswer, 3},
        {"read_fail=0x7800", ReadResult::ReadFailed, 3 + 16},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.faults);
        vboard::MemoryStore fresh;
        vboard::ModelLink model(fresh);
        fresh.SetText(vboard::kIniFile, std::string("[faults]\n") + c.faults + "\n");
        TOLKA_HANDLE h = model.FlashModeOpen(TOLKA_IF_ALL, 0);
        CurrentRecord current;
        EXPECT_EQ(ReadCurrentRecord(model, h, current), c.expected);
        std::string log = fresh.Text(vboard::kLogFile);
        EXPECT_EQ(static_cast<size_t>(std::count(log.begin(), log.end(), '\n')), 1 + c.calls);
    }
}

TEST_F(WriterOps, WriteAppendsAndVerifies) {
    RecordImage first = MakeRecord(kOther, 1);
    link.Board().Write(0x7000, first.data(), kSlotSize);
    Calls();
    RecordImage record = MakeRecord(kOther, 2);
    WriteReport report = WriteRecord(link, device, record, answers);
    EXPECT_EQ(report.outcome, WriteOutcome::Written);
    EXPECT_EQ(report.slot, 0x7080u);
    EXPECT_FALSE(report.erased);
    EXPECT_EQ(Slot(0x7080), record);
    EXPECT_EQ(Calls(), (Lines{"Varn_FlshRead(h1, 0x7000) = 0", "Varn_FlshRead(h1, 0x7080) = 0",
                              "Varn_FlshWrite(h1, 0x7080, 128) = 0", "Varn_FlshRead(h1, 0x7080) = 0"}));
    EXPECT_TRUE(answers.asked.empty());
}

struct WriteCase {
    const char* faults;
    bool fullArea;
    WriteOutcome outcome;
    bool erased;
    bool boardUnchanged;
};

TEST_F(WriterOps, EveryFailureIsReportedWithWhatHappenedToTheArea) {
    const WriteCase cases[] = {
        {"", true, WriteOutcome::Written, true, false},
        {"erase_fail=1", true, WriteOutcome::EraseFailed, false, true},
        {"write_fail=1", false, WriteOutcome::WriteFailed, false, true},
        {"write_fail=1", true, WriteOutcome::WriteFailed, true, false},
        {"write_corrupt=1", false, WriteOutcome::VerifyFailed, false, false},
        {"readback_fail=1", true, WriteOutcome::VerifyFailed, true, false},
        {"read_fail=0x7000", true, WriteOutcome::ReadFailed, false, true},
        {"read_fail=all", false, WriteOutcome::ReadFailed, false, true},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.faults << (c.fullArea ? ", full" : ""));
        vboard::MemoryStore fresh;
        vboard::ModelLink model(fresh);
        TOLKA_HANDLE h = model.FlashModeOpen(TOLKA_IF_ALL, 0);
        for (uint32_t a = kFirstSlot; c.fullArea && a <= kLastSlot; a += kSlotStep)
            model.Board().Write(a, MakeRecord(kOther, a).data(), kSlotSize);
        std::vector<uint8_t> before = fresh.files[vboard::kFlashFile];
        fresh.SetText(vboard::kIniFile, std::string("[faults]\n") + c.faults + "\n");
        WriteReport report = WriteRecord(model, h, MakeRecord(kOther, 9), answers);
        EXPECT_EQ(report.outcome, c.outcome);
        EXPECT_EQ(report.erased, c.erased);
        EXPECT_EQ(fresh.files[vboard::kFlashFile] == before, c.boardUnchanged);
    }
}

TEST_F(WriterOps, ProductKindQuestionComesBeforeTheBoardIsTouched) {
    const wchar_t kVarnex[] = L"3aa4096d-2cc0-46dd-878a-88511d75ac78";
    Board("[board]\ninterface=0x40000000\n");
    Calls();
    answers.answer = false;
    WriteReport report = WriteRecord(link, device, MakeRecord(kVarnex, 1), answers);
    EXPECT_EQ(report.outcome, WriteOutcome::Refused);
    EXPECT_EQ(answers.asked, std::vector<KindMismatch>{KindMismatch::VarnexOnLan});
    EXPECT_EQ(Calls(), Lines{"Varn_GetIFType(h1) = 0x40000000"});
}

TEST(AnnouncedInterface, TopByteDecides) {
    EXPECT_EQ(AnnouncedInterface(0x80000001u), InterfaceKind::Usb);
    EXPECT_EQ(AnnouncedInterface(0x20000000u), InterfaceKind::Usb);
    EXPECT_EQ(AnnouncedInterface(0x40FFFFFFu), InterfaceKind::Lan);
    EXPECT_EQ(AnnouncedInterface(0xC0000000u), InterfaceKind::Other);
}

}  // namespace
}  // namespace core
