// New UUIDs from the system's RPC library, loaded from the system folder on first use
// (framework/syslib.h).
#pragma once

#include <array>
#include <cstdint>

namespace fw {

// A new UUID in the memory order of the system's GUID (the order records keep it in). False
// when the system cannot make one that is unique beyond this computer (no network adapter),
// or has no RPC library.
bool CreateSystemUuid(std::array<uint8_t, 16>& uuid);

}  // namespace fw
