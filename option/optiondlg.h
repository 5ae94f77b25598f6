// The option window: the grid of 80 port check boxes, which is the port option record
// itself, with the file commands on *.topt files and the device commands that read, write
// and erase the record in the board.
#pragma once

#include <cstdint>

#include "common/editordlg.h"
#include "devicelink/librarylink.h"
#include "core/deviceapi.h"
#include "core/boardlink.h"
#include "option/portgrid.h"

class CTolkaOptionDlg : public fw::CTableDialog<CTolkaOptionDlg, CEditorDialog> {
public:
    // The board is reached through link: the device libraries, or a stand-in in tests.
    explicit CTolkaOptionDlg(core::DeviceLink& link = LibraryLink());

    static const fw::DialogTables<CTolkaOptionDlg> kTables;

    // The grid into a 128-byte image and back; setting boxes from here is not a click.
    void GetPortOptions(uint8_t* image);
    void SetPortOptions(const uint8_t* image);

protected:
    void PrepareControls() override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
    bool BuildFileImage(FileImage& image) override;
    void ShowFileImage(const FileImage& image) override;

private:
    // The grid and the window
    void OnFileNew();
    void OnPortCheckClicked(UINT id);

    // Device
    void OnReadFromDevice();
    void OnWriteToDevice();
    void OnEraseDevice();
    void OnProductInfo();

    CPortGrid m_grid;

    static const fw::CommandEntry<CTolkaOptionDlg> kCommands[];
    static const fw::CommandRangeEntry<CTolkaOptionDlg> kPortBoxes[];
    static const fw::UpdateEntry<CTolkaOptionDlg> kUpdateHandlers[];
};
