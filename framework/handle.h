// One owner for a handle of the system, closed once when the owner goes:
//
//   fw::FileHandle file(CreateFileW(...));   // INVALID_HANDLE_VALUE: no file
//   if (!file) return false;
//   ReadFile(file.Get(), ...);
//
//   fw::RegKey key;
//   RegCreateKeyExW(..., key.Put(), nullptr);  // a key the call hands out
//
// Each kind knows its "no handle" value and its closing function; they differ (CreateFileW
// gives INVALID_HANDLE_VALUE, OpenProcess nullptr, FindFirstFileW needs FindClose).
#pragma once

#include <windows.h>

#include <utility>

namespace fw {

template <class Kind>
class UniqueHandle {
public:
    using Type = typename Kind::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type h) : m_h(h) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    explicit operator bool() const { return m_h != Kind::None(); }
    Type Get() const { return m_h; }
    // Closes what is held, for a call that hands out a new handle through a pointer.
    Type* Put() {
        Reset();
        return &m_h;
    }
    Type Release() { return std::exchange(m_h, Kind::None()); }
    void Reset(Type h = Kind::None()) {
        if (m_h != Kind::None())
            Kind::Close(m_h);
        m_h = h;
    }

private:
    Type m_h = Kind::None();
};

struct KernelObjectKind {  // processes, threads, events: nullptr when none
    using Type = HANDLE;
    static HANDLE None() { return nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FileKind {  // CreateFileW's files
    using Type = HANDLE;
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindKind {  // FindFirstFileW's searches
    using Type = HANDLE;
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};
struct RegKeyKind {
    using Type = HKEY;
    static HKEY None() { return nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};

using Handle = UniqueHandle<KernelObjectKind>;
using FileHandle = UniqueHandle<FileKind>;
using FindHandle = UniqueHandle<FindKind>;
using RegKey = UniqueHandle<RegKeyKind>;

}  // namespace fw
