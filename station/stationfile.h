// The station file (*.tstation): what one production-line station works with, kept beside the
// line's records so that the operator starts the station with one file. UTF-8 text, one
// key=value a line:
//
//   # line 3, board A
//   record=boardA.tpi
//   options=boardA.topt
//   ledger=odbc:DSN=line
//   station=2/4
//   operator=required
//   rework=no
//
// Paths are relative to the station file's folder. Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "line/ledger.h"

namespace station {

struct StationFile {
    std::wstring record;                   // the .tpi file; always given
    std::wstring options;                  // the .topt file; empty: none
    std::wstring ledger;                   // a file, or "odbc:" and a connection string; empty: the environment's
    std::optional<core::Station> station;  // K of N stations sharing the ledger's Numbers
    bool operatorRequired = true;          // each board is written under an operator's name
    bool rework = false;                   // boards that already carry a Number may be written again
};

bool operator==(const StationFile& a, const StationFile& b);

enum class StationFault {
    None,
    TooLarge,      // over 64 KiB: not a station file (line 0)
    NotUtf8,       // bytes that are not UTF-8
    BadCharacter,  // a control character in a line
    NoEquals,      // a line that is neither key=value, a comment nor blank
    UnknownKey,
    RepeatedKey,  // the second time the key is given
    BadValue,
    MissingRecord,  // no record= anywhere (line 0)
};

// Where a file was refused: its line (from 1; 0 for the whole file) and the key, if known.
struct StationParse {
    StationFault fault = StationFault::None;
    size_t line = 0;
    std::wstring key;
};

constexpr size_t kMaxStationFileSize = 64 * 1024;

// The file's bytes; relative paths are joined to `folder`, the folder of the station file
// ("C:name", relative to a drive's current folder, is refused). `out` is filled only when the
// whole file is sound.
StationParse ParseStationFile(const std::string& bytes, const std::wstring& folder, StationFile& out);

// The set-up window's fields as the engineer typed them; share is "K/N" or empty.
struct StationFields {
    std::wstring record;
    std::wstring options;
    std::wstring ledger;
    std::wstring share;
    bool operatorRequired = true;
    bool rework = false;
};

// The fields read by ParseStationFile's own rules, as if each were its key's line, so that what
// the window saves reads back the same; a refusal names the field's key (line 0).
StationParse ReadStationFields(const StationFields& fields, const std::wstring& folder, StationFile& out);

// The file as the set-up window saves it (CRLF lines): a path under `folder` relative to it,
// others as they are. ParseStationFile reads it back to the same fields.
std::string FormatStationFile(const StationFile& file, const std::wstring& folder);

}  // namespace station
