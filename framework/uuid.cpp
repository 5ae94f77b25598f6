#include "framework/uuid.h"

#include <windows.h>
#include <rpc.h>

#include <cstring>

#include "framework/syslib.h"

namespace fw {

bool CreateSystemUuid(std::array<uint8_t, 16>& uuid) {
    using CreateFn = RPC_STATUS(RPC_ENTRY*)(UUID*);
    auto uuidCreate = SystemFunction<CreateFn>(L"rpcrt4.dll", "UuidCreate");
    UUID made;
    // RPC_S_UUID_LOCAL_ONLY counts as none: the ID would be unique only on this computer.
    if (uuidCreate == nullptr || uuidCreate(&made) != RPC_S_OK)
        return false;
    static_assert(sizeof made == sizeof uuid, "UUID size");
    std::memcpy(uuid.data(), &made, sizeof made);
    return true;
}

}  // namespace fw
