// SHA-256 digests from the system's own cryptography (bcrypt.dll, loaded from the system
// folder when first asked: framework/syslib.h), so that no program carries a hash of its own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace fw {

// The digest of `size` bytes at `data`; false when the system has no SHA-256 or it fails.
bool Sha256(const uint8_t* data, size_t size, std::array<uint8_t, 32>& digest);

}  // namespace fw
