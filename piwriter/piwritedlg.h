// The writer window: the editor of the four product-information values, the current-data
// panel of the connected board, and the file and device commands.
#pragma once

#include <string>

#include "common/editordlg.h"
#include "devicelink/librarylink.h"
#include "core/deviceapi.h"
#include "core/record.h"

class CVarnPIWriteDlg : public fw::CTableDialog<CVarnPIWriteDlg, CEditorDialog> {
public:
    // The board is reached through link: the device libraries, or a stand-in in tests.
    explicit CVarnPIWriteDlg(core::DeviceLink& link = LibraryLink());

    static const fw::DialogTables<CVarnPIWriteDlg> kTables;

    // The record's four texts as the editor holds them, and as the current-data panel shows
    // the board's; each field is also known by its member name.
    core::RecordTexts m_editor;
    core::RecordTexts m_current;
    std::wstring& m_strUuid = m_editor.uuid;
    std::wstring& m_strNumber = m_editor.number;
    std::wstring& m_strProductName = m_editor.product;
    std::wstring& m_strMaker = m_editor.maker;
    std::wstring& m_strCurUuid = m_current.uuid;
    std::wstring& m_strCurNumber = m_current.number;
    std::wstring& m_strCurProductName = m_current.product;
    std::wstring& m_strCurMaker = m_current.maker;
    HWND m_btnAutoIncrement = nullptr;
    // What the current-data panel shows: nothing of the board before the first refresh and
    // after one that could not read it; else the board's record, or "Empty" for none.
    enum class Panel { Nothing, Record, Empty };
    Panel m_panel = Panel::Nothing;

    // The record from the editor's fields; false after its own message (the caller stops).
    bool BuildRecord(core::RecordImage& dest);
    // Shows a record's four values in the editor; the status word is not looked at.
    void LoadRecordIntoEditor(const uint8_t* record);

protected:
    void DoDataExchange(fw::CDataExchange& dx) override;
    bool BuildFileImage(FileImage& image) override;
    void ShowFileImage(const FileImage& image) override;
    void AnnounceConnection() override;
    bool RefreshAfterConnect() override;

private:
    // Editing and the window
    void ExchangeName(fw::CDataExchange& dx, int id, std::wstring& member, UINT notInCodePageId);
    void OnEditChange();
    void OnFileNew();
    void OnFileExit();
    void OnCreateUuid();
    void OnSelectAll();

    // Device
    void OnReadToEditor();
    void OnWriteToDevice();
    void OnEraseDevice();
    bool RefreshCurrentData();
    void CountUpNumber(uint32_t written);

    static const fw::CommandEntry<CVarnPIWriteDlg> kCommands[];
    static const fw::NotifyEntry<CVarnPIWriteDlg> kNotifications[];
    static const fw::UpdateEntry<CVarnPIWriteDlg> kUpdateHandlers[];
};
