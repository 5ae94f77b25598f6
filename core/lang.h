// The language of everything the user reads: Japanese, or English for any other user.
// Portable: no <windows.h>.
#pragma once

namespace core {

enum class Lang { Ja, En };

}  // namespace core
