// The recipe a board was written with, as the line's ledger and report name it: short digests
// of the record file and of the port option file, so that boards written from different files
// are told apart without keeping the files. Portable: no <windows.h>.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace core {

using FileDigest = std::array<uint8_t, 32>;  // SHA-256 of a file's bytes

// The first 16 lower-case hex digits of the record file's digest, then "+" and the first 16 of
// the option file's when there is one: "ba7816bf8f01cfea" or "ba7816bf8f01cfea+e3b0c44298fc1c14".
std::string RecipeText(const FileDigest& record, const std::optional<FileDigest>& options);

}  // namespace core
