// What the commands need of the system they run on. tolka.exe gives them Windows (the
// device libraries, files, the ANSI code page, the console); the native tests give them
// the virtual board's model and files in memory. Portable: no <windows.h>.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/output.h"
#include "core/devicelibrary.h"
#include "line/dbledger.h"
#include "core/fileresult.h"
#include "line/ledger.h"
#include "line/lineledger.h"
#include "core/boardlink.h"
#include "core/recipe.h"
#include "core/record.h"

namespace cli {

class Host : public Output, public core::LedgerSystem {
public:
    virtual core::DeviceLink& Link() = 0;
    // Empty when the device libraries can be used; Link() may be called only then.
    virtual std::optional<core::MissingLibrary> MissingDeviceLibrary() = 0;

    // Names between the text the user sees and the record's bytes in the ANSI code page of
    // the thread, with the first character the code page cannot hold exactly.
    virtual core::AnsiName ToAnsi(const std::wstring& text) = 0;
    virtual std::wstring FromAnsi(const std::string& bytes) = 0;

    // At most maxBytes from the start of the file. Other readers may read it at the same
    // moment; a program writing it is waited for a short while.
    virtual core::FileResult ReadFile(const std::wstring& path, size_t maxBytes, std::vector<uint8_t>& data) = 0;
    // Whether the two names are one file that exists (another spelling, a link).
    virtual bool IsSameFile(const std::wstring& a, const std::wstring& b) = 0;
    // The file's whole new content; the old file stays intact when that fails.
    virtual core::FileResult WriteFile(const std::wstring& path, const uint8_t* data, size_t size) = 0;

    // The SHA-256 of the bytes, from the system's cryptography; false when it cannot be had.
    virtual bool Sha256(const uint8_t* data, size_t size, core::FileDigest& digest) = 0;

    // The ledger file as it is now, for a read from start to end a piece at a time (a report):
    // each piece is read under a handle of its own that shares the file with readers only, so
    // that a station waits at most for one piece, and the lines it appends meanwhile lie beyond
    // the length taken now. Null when the file cannot be opened, with the reason in `status`.
    // Nothing is ever appended or indexed through it.
    virtual std::unique_ptr<core::LedgerFile> ReadLedgerPieces(const std::wstring& path, core::FileResult& status) = 0;

    // An environment variable's value; empty when it is not set.
    virtual std::wstring Environment(const wchar_t* name) = 0;
    // The language in which the device libraries say what they say themselves (the virtual
    // board's messages), when the command line chose one other than the user's.
    virtual void SetLibraryLanguage(core::Lang lang) = 0;

    // Waits for the user between two devices: true to go on (Enter), false to stop ("q",
    // or the end of the input).
    virtual bool NextBoard() = 0;
};

}  // namespace cli
