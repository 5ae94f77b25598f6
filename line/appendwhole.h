// An append that goes down whole or not at all, so that a full disk never leaves half a line
// at the end of a file (a ledger with a torn last line is refused by every later run).
// Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace core {

// The few operations on an open file that the append needs.
class AppendTarget {
public:
    virtual ~AppendTarget() = default;
    // The file's length now.
    virtual bool Length(uint64_t& length) = 0;
    // Writes at the end of the file; returns how many bytes reached it (fewer on a full disk).
    virtual size_t WriteAtEnd(const char* data, size_t size) = 0;
    // True once everything written is on the disk.
    virtual bool Flush() = 0;
    // Cuts the file to the given length.
    virtual bool CutTo(uint64_t length) = 0;
};

// Appends the bytes; after a short or failed write, or a failed flush, the file is cut back to
// its old length. True only when all the bytes are on the disk.
bool AppendWhole(AppendTarget& file, const std::string& bytes);

}  // namespace core
