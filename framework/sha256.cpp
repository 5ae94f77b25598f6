#include "framework/sha256.h"

#include <windows.h>
#include <bcrypt.h>

#include <algorithm>

#include "framework/syslib.h"

namespace fw {

namespace {

bool Succeeded(NTSTATUS status) {
    return status >= 0;
}

// The system's functions, taken once per digest so that a refused library shows at once.
struct Bcrypt {
    decltype(&BCryptOpenAlgorithmProvider) open = Take<decltype(open)>("BCryptOpenAlgorithmProvider");
    decltype(&BCryptCloseAlgorithmProvider) close = Take<decltype(close)>("BCryptCloseAlgorithmProvider");
    decltype(&BCryptCreateHash) create = Take<decltype(create)>("BCryptCreateHash");
    decltype(&BCryptHashData) hashData = Take<decltype(hashData)>("BCryptHashData");
    decltype(&BCryptFinishHash) finish = Take<decltype(finish)>("BCryptFinishHash");
    decltype(&BCryptDestroyHash) destroy = Take<decltype(destroy)>("BCryptDestroyHash");

    template <class Fn>
    static Fn Take(const char* name) {
        return SystemFunction<Fn>(L"bcrypt.dll", name);
    }
    bool Complete() const { return open && close && create && hashData && finish && destroy; }
};

// The bytes into an open hash, in pieces the call's 32-bit length can hold.
bool HashAll(const Bcrypt& bcrypt, BCRYPT_HASH_HANDLE hash, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ULONG piece = static_cast<ULONG>(std::min<size_t>(size, 0x40000000));
        if (!Succeeded(bcrypt.hashData(hash, const_cast<PUCHAR>(data), piece, 0)))
            return false;
        data += piece;
        size -= piece;
    }
    return true;
}

}  // namespace

bool Sha256(const uint8_t* data, size_t size, std::array<uint8_t, 32>& digest) {
    const Bcrypt bcrypt;
    if (!bcrypt.Complete())
        return false;
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!Succeeded(bcrypt.open(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        return false;
    // Without a buffer of ours the system keeps the hash's state itself (Windows 7 and later).
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool done = false;
    if (Succeeded(bcrypt.create(algorithm, &hash, nullptr, 0, nullptr, 0, 0))) {
        done = HashAll(bcrypt, hash, data, size) &&
               Succeeded(bcrypt.finish(hash, digest.data(), static_cast<ULONG>(digest.size()), 0));
        bcrypt.destroy(hash);
    }
    bcrypt.close(algorithm, 0);
    return done;
}

}  // namespace fw
