// For the native tests of what keeps a ledger: ledgers in memory.
#pragma once

#include <cstdint>
#include <string>

#include "line/ledger.h"

namespace linetest {

// A ledger whose bytes and index live in the test.
class MemoryLedger : public core::LedgerFile {
public:
    MemoryLedger(std::string& bytes, std::string& index, bool writable, int& appendsLeft)
        : bytes_(bytes), index_(index), writable_(writable), appendsLeft_(appendsLeft) {}
    bool Size(uint64_t& size) override {
        size = bytes_.size();
        return true;
    }
    bool ReadAt(uint64_t offset, uint64_t length, std::string& out) override {
        out = offset < bytes_.size() ? bytes_.substr(offset, length) : std::string();
        return true;
    }
    bool Append(const std::string& more) override {
        if (!writable_ || appendsLeft_ == 0)
            return false;
        if (appendsLeft_ > 0)
            --appendsLeft_;
        bytes_ += more;
        return true;
    }
    std::string ReadIndex() override { return index_; }
    void WriteIndex(const std::string& text) override { index_ = text; }

private:
    std::string& bytes_;
    std::string& index_;
    bool writable_;
    int& appendsLeft_;
};

}  // namespace linetest
