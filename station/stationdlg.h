// TolkaStation's window: what the station writes, a result area readable from a metre away,
// the operator's ID, the counters of this run and the last boards. The operator scans an ID
// and presses Enter; each further Enter writes the next board. The board's cycle runs on a
// worker thread, which posts its steps and its end back, so the window keeps painting.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "common/mainframe.h"
#include "station/boardcycle.h"
#include "station/stationfile.h"
#include "station/stationsession.h"

// A station file read with its record (and options) file.
struct StationSetup {
    std::wstring path;
    station::StationFile file;
    station::CycleRecipe recipe;
};

// The station file and the files it names are read while other stations may read them too. A
// file that cannot be read or is refused is told in a message box (a refused station file with
// its line and key), and nothing is returned.
std::optional<station::StationFile> ReadStationFile(const std::wstring& path);
// The record file and the options file, if any, as the station writes them.
std::optional<station::CycleRecipe> ReadRecipe(const station::StationFile& file);
// Both: what the operator's window runs with.
std::optional<StationSetup> LoadStation(const std::wstring& path);

// Why a station file was refused, in the UI language.
std::wstring StationFaultText(station::StationFault fault);

class CStationDlg : public fw::CTableDialog<CStationDlg, CMainDialog> {
public:
    CStationDlg(const StationSetup& setup, std::unique_ptr<station::BoardCycle> cycle);
    // Waits for a board being written: its cycle is never cut off.
    ~CStationDlg() override;

    static const fw::DialogTables<CStationDlg> kTables;

    const station::StationSession& Session() const { return m_session; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    static DWORD WINAPI RunBoard(void* self);
    void OnBoardDone();
    void ShowSession();
    void ShowBoards();
    void ShowFileFacts();
    void ShowNext(const std::optional<uint32_t>& next);
    HBRUSH ResultBrush(HDC dc, HWND control);
    HFONT ScaledFont(int percent);

    const StationSetup m_setup;
    std::unique_ptr<station::BoardCycle> m_cycle;
    station::StationSession m_session;
    // Written by the worker, read once the worker has ended.
    station::StationResult m_workerResult;
    std::wstring m_workerOperator;
    HANDLE m_worker = nullptr;
    bool m_closeAfterBoard = false;
    HFONT m_resultFont = nullptr;
    HFONT m_numberFont = nullptr;
    HFONT m_causeFont = nullptr;
    HBRUSH m_passBrush = nullptr;
    HBRUSH m_failBrush = nullptr;
};
