// What became of a read or a write of a whole file, for the windows and the console alike.
// Portable: no <windows.h>.
#pragma once

namespace core {

enum class FileResult {
    Ok,
    CannotOpen,  // locked by another program, read-only, no access (and missing, for a write)
    Missing,     // a read of a file that is not there, or whose folder is not
    IoError,     // opened, but reading or writing failed
};

}  // namespace core
