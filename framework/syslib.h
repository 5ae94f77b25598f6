// DLL loading that no other folder can hijack.
//
// A document's folder is often the current folder, and anyone can put a DLL there. So every
// program starts with RestrictDllSearch(): from then on a DLL is looked up only in the
// program's own folder (the device libraries live there) and in the system folder. Libraries
// that one command needs (the file dialogs, UUID creation, HTML help, version resources, the
// shell's folder look-up) are not imported: the command loads them from the system folder
// when it first runs, which also keeps them out of every start.
//
//   using UuidCreateFn = RPC_STATUS(RPC_ENTRY*)(UUID*);
//   if (auto create = fw::SystemFunction<UuidCreateFn>(L"rpcrt4.dll", "UuidCreate")) ...
#pragma once

#include <windows.h>

namespace fw {

// The first thing each program does (wWinMain, main).
void RestrictDllSearch();

// A library of the system folder, loaded if need be; nullptr when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

// A function of a system library; nullptr when the library or the function is missing.
template <class Fn>
Fn SystemFunction(const wchar_t* library, const char* function) {
    HMODULE module = LoadSystemLibrary(library);
    if (module == nullptr)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, function)));
}

// Tests: LoadSystemLibrary refuses this library as if the system lacked it (nullptr: none).
void RefuseSystemLibraryForTest(const wchar_t* name);

}  // namespace fw
