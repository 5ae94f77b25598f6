// The port option operations against the virtual board's model: what they report, what
// the board holds afterwards, and which library calls reached it in which order.
#include "core/optionops.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "varnet/memory_store_test_support.h"
#include "varnet/model_link.h"

namespace core {
namespace {

const std::string kCheck = "Varn_FlshRead(h1, 0x8000) = 0\n";

class OptionOps : public ::testing::Test {
protected:
    void SetUp() override {
        handle = link.FlashModeOpen(TOLKA_IF_ALL, 0);
        ASSERT_NE(handle, nullptr);
        ClearLog();
    }
    void SetFaults(const std::string& lines) { store.SetText(vboard::kIniFile, "[faults]\n" + lines + "\n"); }
    void SetFirmwareMark(std::vector<uint8_t> bytes) {
        std::copy(bytes.begin(), bytes.end(), store.files[vboard::kFlashFile].begin() + kOptionFirmwareAddress);
    }
    void SetArea(const PortOptionImage& image) { store.files[vboard::kAreaFile].assign(image.begin(), image.end()); }
    bool HasArea() const { return store.files.count(vboard::kAreaFile) != 0; }
    std::string Log() const { return store.Text(vboard::kLogFile); }
    void ClearLog() { store.files.erase(vboard::kLogFile); }

    vboard::MemoryStore store;
    vboard::ModelLink link{store};
    TOLKA_HANDLE handle = nullptr;
};

PortOptionImage Sample() {
    PortOptionImage image;
    image.fill(0xFF);
    const uint8_t head[] = {0, 0, 0x80, 0, 0, 0x03, 0, 0, 0, 0, 0, 0, 0};
    std::copy(std::begin(head), std::end(head), image.begin());
    return image;
}

std::vector<uint8_t> Bytes(const PortOptionImage& image) {
    return std::vector<uint8_t>(image.begin(), image.end());
}

TEST_F(OptionOps, FirmwareCheckWantsFourZeroBytesAt0x8000) {
    struct Case {
        const char* what;
        std::vector<uint8_t> mark;  // bytes at 0x8000
        std::string faults;
        bool supported;
        std::string log;
    };
    const Case cases[] = {
        {"new board", {0, 0, 0, 0}, "", true, kCheck},
        {"rest of the block not looked at", {0, 0, 0, 0, 0x12, 0xFF}, "", true, kCheck},
        {"last byte set", {0, 0, 0, 1}, "", false, kCheck},
        {"first byte set", {0x80, 0, 0, 0}, "", false, kCheck},
        {"erased", {0xFF, 0xFF, 0xFF, 0xFF}, "", false, kCheck},
        {"read fails", {0, 0, 0, 0}, "read_fail=0x8000", false, "Varn_FlshRead(h1, 0x8000) = 4\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetFirmwareMark(c.mark);
        SetFaults(c.faults);
        ClearLog();
        EXPECT_EQ(IsOptionAreaSupported(link, handle), c.supported);
        EXPECT_EQ(Log(), c.log);
    }
}

TEST_F(OptionOps, ReadChecksTheFirmwareThenReadsTheArea) {
    SetArea(Sample());
    PortOptionImage image{};
    EXPECT_EQ(ReadPortOptions(link, handle, image), OptionReadResult::Ok);
    EXPECT_EQ(image, Sample());
    EXPECT_EQ(Log(), kCheck + "Varn_FlshReadRWArea(h1, 5) = 0\n");
}

TEST_F(OptionOps, FailedReadsLeaveTheImageAlone) {
    struct Case {
        const char* what;
        std::vector<uint8_t> mark;
        std::string faults;
        bool area;
        OptionReadResult result;
        std::string log;
    };
    const Case cases[] = {
        {"old firmware", {1, 2, 3, 4}, "", true, OptionReadResult::UnsupportedFirmware, kCheck},
        {"check read fails",
         {0, 0, 0, 0},
         "read_fail=0x8000",
         true,
         OptionReadResult::UnsupportedFirmware,
         "Varn_FlshRead(h1, 0x8000) = 4\n"},
        {"no settings",
         {0, 0, 0, 0},
         "",
         false,
         OptionReadResult::NoSettings,
         kCheck + "Varn_FlshReadRWArea(h1, 5) = 6\n"},
        {"area finds none",
         {0, 0, 0, 0},
         "rw_read_none=1",
         true,
         OptionReadResult::NoSettings,
         kCheck + "Varn_FlshReadRWArea(h1, 5) = 6\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetFirmwareMark(c.mark);
        SetFaults(c.faults);
        store.files.erase(vboard::kAreaFile);
        if (c.area)
            SetArea(Sample());
        ClearLog();
        PortOptionImage image;
        image.fill(0x5A);
        const PortOptionImage before = image;
        EXPECT_EQ(ReadPortOptions(link, handle, image), c.result);
        EXPECT_EQ(image, before);
        EXPECT_EQ(Log(), c.log);
    }
}

TEST_F(OptionOps, WriteChecksTheFirmwareThenWritesTheArea) {
    EXPECT_EQ(WritePortOptions(link, handle, Sample()), OptionWriteResult::Ok);
    EXPECT_EQ(store.files[vboard::kAreaFile], Bytes(Sample()));
    EXPECT_EQ(Log(), kCheck + "Varn_FlshWriteRWArea(h1, 5) = 0\n");
}

TEST_F(OptionOps, FailedWritesLeaveTheAreaAsItWas) {
    PortOptionImage old;
    old.fill(0x11);
    struct Case {
        const char* what;
        std::vector<uint8_t> mark;
        std::string faults;
        OptionWriteResult result;
        std::string log;
    };
    const Case cases[] = {
        {"old firmware", {0, 0, 0, 0xFF}, "", OptionWriteResult::UnsupportedFirmware, kCheck},
        {"check read fails",
         {0, 0, 0, 0},
         "read_fail=all",
         OptionWriteResult::UnsupportedFirmware,
         "Varn_FlshRead(h1, 0x8000) = 4\n"},
        {"write fails",
         {0, 0, 0, 0},
         "rw_write_fail=1",
         OptionWriteResult::WriteFailed,
         kCheck + "Varn_FlshWriteRWArea(h1, 5) = 4\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetFirmwareMark(c.mark);
        SetFaults(c.faults);
        SetArea(old);
        ClearLog();
        EXPECT_EQ(WritePortOptions(link, handle, Sample()), c.result);
        EXPECT_EQ(store.files[vboard::kAreaFile], Bytes(old));
        EXPECT_EQ(Log(), c.log);
    }
}

TEST_F(OptionOps, EraseEmptiesTheAreaWithoutAFirmwareCheck) {
    SetFirmwareMark({1, 1, 1, 1});
    SetArea(Sample());
    EXPECT_EQ(ErasePortOptions(link, handle), OptionEraseResult::Ok);
    EXPECT_FALSE(HasArea());
    PortOptionImage image{};
    SetFirmwareMark({0, 0, 0, 0});
    EXPECT_EQ(ReadPortOptions(link, handle, image), OptionReadResult::NoSettings);
    EXPECT_EQ(Log(), "Varn_FlshErase(h1, 32) = 0\n" + kCheck + "Varn_FlshReadRWArea(h1, 5) = 6\n");
}

TEST_F(OptionOps, FailedEraseKeepsTheArea) {
    SetArea(Sample());
    SetFaults("erase_fail=1");
    EXPECT_EQ(ErasePortOptions(link, handle), OptionEraseResult::EraseFailed);
    EXPECT_TRUE(HasArea());
    EXPECT_EQ(Log(), "Varn_FlshErase(h1, 32) = 4\n");
}

}  // namespace
}  // namespace core
