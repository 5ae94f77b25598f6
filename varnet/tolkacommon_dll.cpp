// TolkaCommon.dll of the virtual board: the Tolka_* functions and the library's own
// windows. The board and its handles belong to Varnet.dll (virtualboard_link.h).
//
// Its dialogs and messages are in the UI language the programs choose (TOLKA_LANG, else the
// system's). A console program never waits for a click here: it gets the messages on its
// error stream and no dialog (board_voice_win.h).

#include <windows.h>

#include <string>

#include "board.h"
#include "board_files_win.h"
#include "call_log.h"
#include "board_voice_win.h"
#include "core/deviceapi.h"
#include "core/textids.h"
#include "core/digits.h"
#include "core/utf8.h"
#include "framework/codepage.h"
#include "framework/language.h"
#include "framework/module.h"
#include "framework/text.h"
#include "resource.h"
#include "virtualboard_link.h"

using vboard::CallLine;

namespace {

HINSTANCE g_module = nullptr;
const wchar_t kCaption[] = L"TolkaCommon";

// The library's own texts (not the program's), in the UI language.
std::wstring LoadText(UINT id) {
    return fw::LoadResString(id, g_module);
}

// A text whose %1 the argument takes.
std::wstring LoadTextWith(UINT id, const std::wstring& argument) {
    return fw::FormatMessageText(LoadText(id), argument);
}

std::wstring BoardFolderText() {
    std::wstring folder(VirtualBoard_GetFolder(nullptr, 0) + 1, L'\0');
    for (;;) {
        uint32_t length = VirtualBoard_GetFolder(&folder[0], static_cast<uint32_t>(folder.size()));
        if (length < folder.size()) {
            folder.resize(length);
            return folder;
        }
        folder.assign(length + 1, L'\0');
    }
}

std::wstring HexWide(uint32_t value) {
    return L"0x" + core::HexText<wchar_t>(value, 8);
}

void Log(TOLKA_HANDLE handle, const std::string& line) {
    VirtualBoard_Log(handle, line.c_str());
}

void ShowMessage(TOLKA_HANDLE handle, const std::wstring& text, UINT type) {
    Log(handle, vboard::MessageEntry(core::ToUtf8(text)));
    vboard::Tell(kCaption, text, type);
}

// One of the library's dialogs in the UI language, modal.
INT_PTR ShowDialog(UINT id, DLGPROC proc, LPARAM param) {
    const void* dialog = fw::LockUiResource(RT_DIALOG, MAKEINTRESOURCEW(id), g_module);
    if (dialog == nullptr)
        return -1;
    return DialogBoxIndirectParamW(g_module, static_cast<LPCDLGTEMPLATEW>(dialog), GetActiveWindow(), proc, param);
}

// Connection settings dialog.

struct Settings {
    uint32_t attached;
    uint32_t interfaceType;
    std::wstring folder;
};

const struct {
    int control;
    uint32_t interfaceType;
} kInterfaceButtons[] = {
    {IDC_IF_USB, TOLKA_IF_USB},
    {IDC_IF_USB2, TOLKA_IF_USB2},
    {IDC_IF_LAN, TOLKA_IF_LAN},
};

void InitSettingsDialog(HWND dialog, const Settings& settings) {
    int checked = IDC_IF_OTHER;
    for (const auto& button : kInterfaceButtons) {
        if (button.interfaceType == settings.interfaceType)
            checked = button.control;
    }
    // "Other" only keeps a value someone put into board.ini by hand.
    if (checked == IDC_IF_OTHER) {
        SetDlgItemTextW(dialog, IDC_IF_OTHER,
                        LoadTextWith(IDS_VBOARD_OTHER_INTERFACE, HexWide(settings.interfaceType)).c_str());
    } else {
        EnableWindow(GetDlgItem(dialog, IDC_IF_OTHER), FALSE);
    }
    CheckRadioButton(dialog, IDC_IF_USB, IDC_IF_OTHER, checked);
    CheckDlgButton(dialog, IDC_ATTACHED, settings.attached ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextW(dialog, IDC_FOLDER, settings.folder.c_str());
}

void TakeSettings(HWND dialog, Settings& settings) {
    for (const auto& button : kInterfaceButtons) {
        if (IsDlgButtonChecked(dialog, button.control) == BST_CHECKED)
            settings.interfaceType = button.interfaceType;
    }
    settings.attached = IsDlgButtonChecked(dialog, IDC_ATTACHED) == BST_CHECKED ? 1 : 0;
}

INT_PTR CALLBACK SettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            InitSettingsDialog(dialog, *reinterpret_cast<Settings*>(lParam));
            return TRUE;
        }
        if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
            if (LOWORD(wParam) == IDOK)
                TakeSettings(dialog, *reinterpret_cast<Settings*>(GetWindowLongPtrW(dialog, DWLP_USER)));
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
    } catch (...) {
        EndDialog(dialog, IDCANCEL);
    }
    return FALSE;
}

// Product information dialog.

struct ProductTexts {
    std::wstring uuid, number, productName, maker, slot;
};

ProductTexts TextsOf(const vboard::ProductInfo& info) {
    const std::wstring number =
        core::DecimalText<wchar_t>(info.number) + L" (0x" + core::HexText<wchar_t>(info.number, 8) + L")";
    return ProductTexts{core::FromUtf8(info.uuid), number, fw::FromThreadAnsi(info.productName),
                        fw::FromThreadAnsi(info.maker), core::FromUtf8(vboard::HexText(info.slot))};
}

INT_PTR CALLBACK ProductInfoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const ProductTexts& texts = *reinterpret_cast<const ProductTexts*>(lParam);
        SetDlgItemTextW(dialog, IDC_PI_UUID, texts.uuid.c_str());
        SetDlgItemTextW(dialog, IDC_PI_NUMBER, texts.number.c_str());
        SetDlgItemTextW(dialog, IDC_PI_PRODUCT, texts.productName.c_str());
        SetDlgItemTextW(dialog, IDC_PI_MAKER, texts.maker.c_str());
        SetDlgItemTextW(dialog, IDC_PI_SLOT, texts.slot.c_str());
        // Focus on the close button rather than selecting the first field's text.
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// Keeps C++ exceptions from crossing into a caller that knows only the C interface.
template <typename T, typename F>
T Guarded(T onError, F body) {
    try {
        return body();
    } catch (...) {
        return onError;
    }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" {

TOLKA_HANDLE TOLKA_API Tolka_FlashModeOpen(uint32_t interfaces, uint32_t reserved) {
    return Guarded<TOLKA_HANDLE>(nullptr, [&] {
        TOLKA_HANDLE handle = nullptr;
        switch (VirtualBoard_Open(interfaces, reserved, &handle)) {
            case VB_OPENED:
                break;
            case VB_NO_BOARD:
                ShowMessage(nullptr, LoadTextWith(IDS_VBOARD_NOT_FOUND, BoardFolderText()), MB_ICONEXCLAMATION);
                break;
            case VB_BUSY:
                ShowMessage(nullptr, LoadText(IDS_VBOARD_BUSY), MB_ICONEXCLAMATION);
                break;
            case VB_BAD_SETTINGS:
                break;  // the board has said what is wrong
            default:
                ShowMessage(nullptr, LoadTextWith(IDS_VBOARD_FILES_ERROR, BoardFolderText()), MB_ICONERROR);
                break;
        }
        Log(handle,
            CallLine("Tolka_FlashModeOpen").Hex(interfaces).Dec(reserved).ResultHandle(VirtualBoard_HandleId(handle)));
        return handle;
    });
}

void TOLKA_API Tolka_FlashModeClose(TOLKA_HANDLE handle, uint32_t reserved) {
    Guarded(0, [&] {
        // Logged while the handle still names its board.
        Log(handle, CallLine("Tolka_FlashModeClose").Handle(VirtualBoard_HandleId(handle)).Dec(reserved).NoResult());
        VirtualBoard_Close(handle);
        return 0;
    });
}

void TOLKA_API Tolka_OptionDlg1(void) {
    Guarded(0, [&] {
        Settings settings{1, TOLKA_IF_USB, BoardFolderText()};
        int loaded = VirtualBoard_GetSettings(&settings.attached, &settings.interfaceType);
        const vboard::Voice voice = vboard::CurrentVoice();
        if (voice == vboard::Voice::Silent) {
            Log(nullptr, vboard::DialogEntry("connection settings"));
        } else if (loaded != vboard::kOk) {
            ShowMessage(nullptr, LoadTextWith(IDS_VBOARD_FILES_ERROR, settings.folder), MB_ICONERROR);
        } else if (voice != vboard::Voice::Windows) {
            // A dialog waits for an answer that no console program can give.
            Log(nullptr, vboard::DialogEntry("connection settings"));
        } else if (ShowDialog(IDD_CONNECTION_SETTINGS, SettingsProc, reinterpret_cast<LPARAM>(&settings)) == IDOK) {
            if (VirtualBoard_SaveSettings(settings.attached, settings.interfaceType) != vboard::kOk) {
                ShowMessage(nullptr, LoadTextWith(IDS_VBOARD_SETTINGS_NOT_SAVED, settings.folder), MB_ICONERROR);
            }
            Log(nullptr, vboard::DialogEntry("connection settings",
                                             "OK, attached=" + core::DecimalText(settings.attached) +
                                                 ", interface=" + core::ToUtf8(HexWide(settings.interfaceType))));
        } else {
            Log(nullptr, vboard::DialogEntry("connection settings", "cancelled"));
        }
        Log(nullptr, CallLine("Tolka_OptionDlg1").NoResult());
        return 0;
    });
}

int TOLKA_API Tolka_ShowProductInfo(TOLKA_HANDLE handle) {
    return Guarded<int>(vboard::kStateError, [&] {
        uint32_t slot = 0;
        uint8_t record[vboard::kSlotSize];
        int found = 0;
        int rc = VirtualBoard_ReadProductInfo(handle, &slot, record, &found);
        if (rc == vboard::kOk && found) {
            ProductTexts texts = TextsOf(vboard::DecodeProductInfo(slot, record));
            Log(handle,
                vboard::DialogEntry("product information",
                                    "slot " + vboard::HexText(slot) + ", uuid " + core::ToUtf8(texts.uuid) +
                                        ", number " + core::ToUtf8(texts.number) + ", product " +
                                        core::ToUtf8(texts.productName) + ", maker " + core::ToUtf8(texts.maker)));
            if (vboard::CurrentVoice() == vboard::Voice::Windows)
                ShowDialog(IDD_PRODUCT_INFO, ProductInfoProc, reinterpret_cast<LPARAM>(&texts));
        } else if (rc == vboard::kOk) {
            ShowMessage(handle, LoadText(IDS_VBOARD_NO_PRODUCT_INFO), MB_ICONINFORMATION);
        }
        Log(handle, CallLine("Tolka_ShowProductInfo").Handle(VirtualBoard_HandleId(handle)).Result(rc));
        return rc;
    });
}

}  // extern "C"
