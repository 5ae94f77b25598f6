// Whole-file reads and writes of the editors' small binary files, with the messages the
// user gets when they fail. Files are opened only for one read or write, without sharing
// (the console program reads sharing with other readers).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/fileresult.h"

namespace fw {

// Who else may have the file open while it is read.
enum class ReadSharing {
    None,     // nobody: the editors' read, the file theirs alone for that moment
    Readers,  // other readers at the same moment (stations that read one prepared record at
              // once); a program writing the file is still excluded, and a read it refuses is
              // tried again for a short while
};

// Writes all the bytes at the handle's position, in pieces the system takes at once; false
// when a write fails. Nothing is flushed: a log line's append need not be.
bool WriteAll(HANDLE file, const void* data, size_t size);
// The same, then flushed: what the file holds once the call returns, not only the system's
// cache, for the new content of a file that replaces the old.
bool WriteAllFlushed(HANDLE file, const void* data, size_t size);

// Opens a file to read, sharing it with other readers; a program that holds it to write (or
// alone) is waited for up to waitMs. INVALID_HANDLE_VALUE, with the system's error, when it
// cannot be opened.
HANDLE OpenSharedToRead(const std::wstring& path, DWORD waitMs);

// Reads at most maxBytes from the start of the file into data (resized to what was read).
core::FileResult ReadFilePrefix(const std::wstring& path,
                                size_t maxBytes,
                                std::vector<uint8_t>& data,
                                ReadSharing sharing = ReadSharing::None);

// Writes data as the file's whole content without ever destroying the file it replaces:
// the bytes go to a new file beside it, which the system then puts in the old one's place,
// keeping the old file's attributes and security settings. Where the folder takes no new
// file, the bytes are written into the file itself. A target that cannot be opened for
// writing (read-only, held open by another program) gives CannotOpen and is left alone; no
// temporary file stays behind.
core::FileResult WriteFileReplacing(const std::wstring& path, const uint8_t* data, size_t size);

}  // namespace fw
