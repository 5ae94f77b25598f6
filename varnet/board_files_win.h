// Where the virtual board's files live on Windows and how they are written. Paths, the
// environment, text conversion and whole writes come from the framework's base helpers
// (framework/module.h, codepage.h, fileio.h), as in the programs.
#pragma once

#include <windows.h>

#include <string>

#include "board.h"
#include "core/utf8.h"

namespace vboard {

// A path as the key of a table per file or folder (locks, logs): the file system ignores case.
std::wstring PathKey(std::wstring path);

// The board's folder as a full path: TOLKA_VIRTUAL_BOARD, or else
// %LOCALAPPDATA%\Tolka\VirtualBoard. Empty when neither can be determined.
std::wstring BoardFolder();

// Creates the folder and any missing parents.
bool EnsureFolder(const std::wstring& folder);

// The board's files in one folder. Replace writes a temporary file beside the target and
// moves it over the target, so another process never reads half a file.
class FolderStore : public BoardStore {
public:
    explicit FolderStore(std::wstring folder) : folder_(std::move(folder)) {}

    Load Read(const std::string& name, std::vector<uint8_t>& bytes) override;
    bool Replace(const std::string& name, const std::vector<uint8_t>& bytes) override;
    bool Remove(const std::string& name) override;
    // The first line a process writes to a log, and its first after another process wrote
    // there, is preceded by its process line (call_log.h).
    bool AppendLine(const std::string& name, const std::string& line) override;
    std::string Where(const std::string& name) const override { return core::ToUtf8(PathOf(name)); }

    std::wstring PathOf(const std::string& name) const;

    // Deletes the temporary files of Replace that a process ended before it could move them
    // (killed mid-write). Only for the holder of the board's lock: no one else writes then.
    void RemoveStaleTemporaries();

private:
    std::wstring folder_;
};

}  // namespace vboard
