// The files the packages carry, as Explorer and the loader see them: every program's
// manifest, and a complete version resource in every program and DLL.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "shipped_files.h"
#include "suite/suite_version.h"
#include "framework/module.h"
#include "framework/dialog_test_support.h"
#include "framework/text.h"

namespace {

// The shipped files beside this test program, or in the folder TOLKA_SHIPPED_DIR names: where
// no 32-bit program can run, the 64-bit test reads the 32-bit build's files there as data.
std::wstring BinFile(const std::wstring& name) {
    std::wstring folder = fw::GetEnvironmentString(L"TOLKA_SHIPPED_DIR");
    if (folder.empty())
        return fw::FolderOfPath(fw::GetModulePath()) + name;
    return folder + L"\\" + name;
}

std::wstring Widen(const char* text) {
    return std::wstring(text, text + strlen(text));
}

std::string ManifestOf(const std::wstring& path) {
    HMODULE image = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (image == nullptr)
        return std::string();
    std::string text;
    if (HRSRC res = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        const char* data = static_cast<const char*>(LockResource(LoadResource(image, res)));
        if (data != nullptr)
            text.assign(data, SizeofResource(image, res));
    }
    FreeLibrary(image);
    return text;
}

struct VersionBlock {
    std::vector<BYTE> data;
    std::wstring prefix;  // \StringFileInfo\<first translation>\ .

    bool Load(const std::wstring& path) {
        DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
        if (size == 0)
            return false;
        data.resize(size);
        void* translation = nullptr;
        UINT len = 0;
        if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
            !VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &translation, &len) || len < 4)
            return false;
        const WORD* words = static_cast<const WORD*>(translation);
        wchar_t block[9];
        swprintf(block, 9, L"%04x%04x", words[0], words[1]);
        prefix = std::wstring(L"\\StringFileInfo\\") + block + L"\\";
        return true;
    }
    std::wstring Value(const wchar_t* key) const {
        void* value = nullptr;
        UINT len = 0;
        if (!VerQueryValueW(data.data(), (prefix + key).c_str(), &value, &len) || value == nullptr)
            return std::wstring();
        return static_cast<const wchar_t*>(value);
    }
    bool HasFixedInfo() const {
        void* fixed = nullptr;
        UINT len = 0;
        return VerQueryValueW(data.data(), L"\\", &fixed, &len) && len >= sizeof(VS_FIXEDFILEINFO) &&
               static_cast<const VS_FIXEDFILEINFO*>(fixed)->dwSignature == VS_FFI_SIGNATURE;
    }
};

struct ShippedFile {
    const wchar_t* name;
    bool program;
    bool window;                 // a windowed program: its icon 128
    bool opensDocuments;         // its document type's icon 129
    const wchar_t* fileVersion;  // a windowed program keeps its own; empty: the suite's
};

// suite/programs.txt, one row per line (made at configure time).
const ShippedFile kShipped[] = {TOLKA_SHIPPED_FILES};

TEST(ShippedFiles, EveryProgramCarriesTheSuiteManifest) {
    const struct {
        const char* entry;
        bool present;
    } kEntries[] = {
        {"level=\"asInvoker\"", true},
        {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", true},  // Windows 7
        {"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", true},  // 8
        {"{1f676c76-80e1-4239-95bb-83d0f6d0da78}", true},  // 8.1
        {"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", true},  // 10 and 11
        {">PerMonitorV2", true},
        {"WindowsSettings\">true</dpiAware>", true},
        {"WindowsSettings\">true</longPathAware>", true},
        {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", true},
        {"<activeCodePage", false},
    };
    for (const auto& file : kShipped) {
        if (!file.program)
            continue;
        std::string manifest = ManifestOf(BinFile(file.name));
        ASSERT_FALSE(manifest.empty()) << file.name;
        for (const auto& e : kEntries)
            EXPECT_EQ(manifest.find(e.entry) != std::string::npos, e.present) << file.name << ": " << e.entry;
    }
}

TEST(ShippedFiles, EveryFileHasACompleteVersionResource) {
    for (const auto& file : kShipped) {
        VersionBlock version;
        ASSERT_TRUE(version.Load(BinFile(file.name))) << file.name;
        EXPECT_TRUE(version.HasFixedInfo()) << file.name;
        for (const wchar_t* key : {L"CompanyName", L"ProductName", L"FileDescription", L"LegalCopyright"})
            EXPECT_NE(version.Value(key), L"") << file.name << " " << key;
        EXPECT_EQ(lstrcmpiW(version.Value(L"OriginalFilename").c_str(), file.name), 0) << file.name;
        std::wstring expected = *file.fileVersion ? file.fileVersion : Widen(TOLKA_SUITE_VERSION_TEXT);
        EXPECT_EQ(version.Value(L"FileVersion"), expected) << file.name;
        EXPECT_EQ(version.Value(L"ProductVersion"), expected) << file.name;
    }
}

// Each program's icon, and each editor's icon of its files (129), holds an image of every size
// Windows asks for, each of which the system reads back at that size.
TEST(ShippedFiles, IconsAtEverySize) {
    const std::vector<int> kSizes = {16, 20, 24, 32, 40, 48, 64, 256};
    std::vector<std::pair<const wchar_t*, int>> icons;
    for (const auto& shipped : kShipped) {
        if (shipped.window)
            icons.emplace_back(shipped.name, 128);
        if (shipped.opensDocuments)
            icons.emplace_back(shipped.name, 129);
    }
    ASSERT_FALSE(icons.empty());
    for (auto [file, group] : icons) {
        SCOPED_TRACE(::testing::Message() << file << " " << group);
        HMODULE image =
            LoadLibraryExW(BinFile(file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(group), RT_GROUP_ICON);
        ASSERT_NE(found, nullptr);
        auto* directory = static_cast<BYTE*>(LockResource(LoadResource(image, found)));
        std::vector<int> sizes;  // each image's width, 0 for 256
        for (int i = 0; i < (directory[4] | directory[5] << 8); ++i)
            sizes.push_back(directory[6 + 14 * i] == 0 ? 256 : directory[6 + 14 * i]);
        std::sort(sizes.begin(), sizes.end());
        EXPECT_EQ(sizes, kSizes);
        for (int size : kSizes) {
            HRSRC entry = FindResourceW(
                image, MAKEINTRESOURCEW(LookupIconIdFromDirectoryEx(directory, TRUE, size, size, 0)), RT_ICON);
            HICON icon = CreateIconFromResourceEx(static_cast<BYTE*>(LockResource(LoadResource(image, entry))),
                                                  SizeofResource(image, entry), TRUE, 0x00030000, size, size, 0);
            EXPECT_EQ(fwtest::IconWidth(icon), size);
            DestroyIcon(icon);
        }
        FreeLibrary(image);
    }
}

}  // namespace
