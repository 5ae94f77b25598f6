#include "devicelink/librarylink.h"

#include <windows.h>

#include "core/deviceapi.h"
#include "framework/module.h"
#include "framework/syslib.h"
#include "framework/text.h"

namespace {

enum Library { kVarnet, kTolkaCommon, kLibraryCount };

// Varnet.dll first: TolkaCommon.dll imports it and then finds it already loaded.
const wchar_t* const kLibraries[kLibraryCount] = {core::kVarnetLibrary, core::kTolkaCommonLibrary};

struct Import {
    Library library;
    const char* name;
};

// In the order of CLibraryLink::Function.
const Import kImports[CLibraryLink::kFunctionCount] = {
    {kTolkaCommon, "Tolka_FlashModeOpen"}, {kTolkaCommon, "Tolka_FlashModeClose"},
    {kTolkaCommon, "Tolka_OptionDlg1"},    {kTolkaCommon, "Tolka_ShowProductInfo"},
    {kVarnet, "Varn_GetIFType"},           {kVarnet, "Varn_SetTimeouts"},
    {kVarnet, "Varn_FlshEchoTest"},        {kVarnet, "Varn_FlshRead"},
    {kVarnet, "Varn_FlshWrite"},           {kVarnet, "Varn_FlshErase"},
    {kVarnet, "Varn_FlshReadRWArea"},      {kVarnet, "Varn_FlshWriteRWArea"},
};

std::wstring ProgramFolder() {
    return fw::FolderOfPath(fw::GetModulePath());
}

// The library from the program's folder or the system folder, nowhere else.
HMODULE LoadDeviceLibrary(const wchar_t* name) {
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    // A system without the search flags refuses them: name each folder in full.
    if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
        module = LoadLibraryExW((ProgramFolder() + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        if (module == nullptr)
            module = fw::LoadSystemLibrary(name);
    }
    return module;
}

std::wstring Widen(const char* ascii) {
    return std::wstring(ascii, ascii + lstrlenA(ascii));
}

}  // namespace

std::optional<core::MissingLibrary> CLibraryLink::Load() {
    HMODULE modules[kLibraryCount] = {};
    for (int i = 0; i < kLibraryCount; ++i) {
        modules[i] = LoadDeviceLibrary(kLibraries[i]);
        if (modules[i] == nullptr)
            return core::MissingLibrary{kLibraries[i], L"", ProgramFolder()};
    }
    for (int f = 0; f < kFunctionCount; ++f) {
        const Import& import = kImports[f];
        m_functions[f] = reinterpret_cast<void*>(GetProcAddress(modules[import.library], import.name));
        if (m_functions[f] == nullptr)
            return core::MissingLibrary{kLibraries[import.library], Widen(import.name), ProgramFolder()};
    }
    return std::nullopt;
}

TOLKA_HANDLE CLibraryLink::FlashModeOpen(uint32_t interfaces, uint32_t reserved) {
    return Get<decltype(&Tolka_FlashModeOpen)>(kFlashModeOpen)(interfaces, reserved);
}

void CLibraryLink::FlashModeClose(TOLKA_HANDLE handle, uint32_t reserved) {
    Get<decltype(&Tolka_FlashModeClose)>(kFlashModeClose)(handle, reserved);
}

void CLibraryLink::OptionDlg1() {
    Get<decltype(&Tolka_OptionDlg1)>(kOptionDlg1)();
}

int CLibraryLink::ShowProductInfo(TOLKA_HANDLE handle) {
    return Get<decltype(&Tolka_ShowProductInfo)>(kShowProductInfo)(handle);
}

uint32_t CLibraryLink::GetIFType(TOLKA_HANDLE handle) {
    return Get<decltype(&Varn_GetIFType)>(kGetIFType)(handle);
}

void CLibraryLink::SetTimeouts(TOLKA_HANDLE handle, uint32_t timeout1, uint32_t timeout2) {
    Get<decltype(&Varn_SetTimeouts)>(kSetTimeouts)(handle, timeout1, timeout2);
}

int CLibraryLink::FlshEchoTest(TOLKA_HANDLE handle) {
    return Get<decltype(&Varn_FlshEchoTest)>(kFlshEchoTest)(handle);
}

int CLibraryLink::FlshRead(TOLKA_HANDLE handle, uint32_t address, uint8_t* buffer) {
    return Get<decltype(&Varn_FlshRead)>(kFlshRead)(handle, address, buffer);
}

int CLibraryLink::FlshWrite(TOLKA_HANDLE handle, uint32_t address, const uint8_t* data, uint32_t length) {
    return Get<decltype(&Varn_FlshWrite)>(kFlshWrite)(handle, address, data, length);
}

int CLibraryLink::FlshErase(TOLKA_HANDLE handle, uint32_t selector) {
    return Get<decltype(&Varn_FlshErase)>(kFlshErase)(handle, selector);
}

int CLibraryLink::FlshReadRWArea(TOLKA_HANDLE handle, uint32_t area, uint8_t* buffer) {
    return Get<decltype(&Varn_FlshReadRWArea)>(kFlshReadRWArea)(handle, area, buffer);
}

int CLibraryLink::FlshWriteRWArea(TOLKA_HANDLE handle, uint32_t area, const uint8_t* image) {
    return Get<decltype(&Varn_FlshWriteRWArea)>(kFlshWriteRWArea)(handle, area, image);
}

namespace {

struct LoadedLink {
    CLibraryLink link;
    std::optional<core::MissingLibrary> missing = link.Load();
};

LoadedLink& Loaded() {
    static LoadedLink loaded;
    return loaded;
}

}  // namespace

core::DeviceLink& LibraryLink() {
    return Loaded().link;
}

std::optional<core::MissingLibrary> DeviceLibrariesMissing() {
    return Loaded().missing;
}
