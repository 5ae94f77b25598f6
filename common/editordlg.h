// What the two editor windows share: the connection to the board (the buttons follow it
// through the update handlers that also enable the menu items), the guards of the write and
// erase commands, the window's life (start-up, the close path with its discard question, closing
// the connection when the window goes), the current file and the modified flag with the
// title that shows them, the file commands on their 128-byte files, and the flash-mode help
// dialog.
//
//   class CMyEditorDlg : public CEditorDialog {
//   public:
//       explicit CMyEditorDlg(core::DeviceLink& link = LibraryLink())
//           : CEditorDialog(kMyEditor, link) {}  // an EditorTraits, the board
//   protected:
//       bool BuildFileImage(FileImage& image) override;   // false after its own message
//       void ShowFileImage(const FileImage& image) override;
//       bool RefreshAfterConnect() override;              // optional: what connecting shows
//   };
//
// Titles: the program's name with no file, "<name> - <file name>" with one, "<name>*"
// after a read from the board, and the current title with "*" at the first edit.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "common/mainframe.h"
#include "common/waitlink.h"
#include "framework/app.h"

class CEditorDialog : public CMainDialog {
public:
    using FileImage = std::array<uint8_t, 128>;

    // The flash-mode help dialog's page in each editor's help file (the window's own page:
    // CMainDialog::kMainWindowHelpPage).
    static constexpr const wchar_t* kFlashModeHelpPage = L"flashmode.htm";

    // Message-box types of the editors' questions and reports.
    static constexpr UINT kAskOkCancel = MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2;  // 0x121
    static constexpr UINT kAskYesNo = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;        // 0x124
    static constexpr UINT kOkInfo = MB_OK | MB_ICONINFORMATION;                          // 0x40

    // What differs between the editors.
    struct EditorTraits {
        UINT templateId;
        int aboutVersionControlId;
        UINT flashModeHelpTemplateId;
        const wchar_t* appTitle;
        UINT fileFilterId;  // string resource "description|pattern||"
        const wchar_t* fileExtension;
        UINT discardAndExitId;   // the close path's question while modified
        UINT writeFirstFoundId;  // a write without a connection: "to the first device found?"
        UINT eraseQuestionId;    // before an erase
    };

    // link: the board's libraries (tests give a recording link).
    CEditorDialog(const EditorTraits& traits, core::DeviceLink& link);
    // Destroys the window before the editor goes, so that WM_DESTROY closes the connection.
    ~CEditorDialog() override;

    // Whether a board is connected.
    bool IsConnected() const { return m_hDevice.IsOpen(); }

    std::wstring m_strPathName;  // full path of the current file; empty: none
    bool m_bModified = false;
    std::wstring m_strFileName;  // its name with extension, for the title

protected:
    // The editor's contents as a file image; false when they cannot be (after a message).
    virtual bool BuildFileImage(FileImage& image) = 0;
    // Shows a file's image in the editor, marking nothing as modified.
    virtual void ShowFileImage(const FileImage& image) = 0;
    // Once, when the window is made: the editor's own controls, before the start-up file.
    virtual void PrepareControls() {}
    // A connection has just opened, before the buttons follow it: what the user is told.
    virtual void AnnounceConnection() {}
    // After the buttons followed a new connection: what connecting refreshes; false when it
    // could not, so that an operation which connected by itself stops.
    virtual bool RefreshAfterConnect() { return true; }

    // Start-up: the main window's chores, the editor's controls, the command line's file.
    BOOL OnInitDialog() override;
    // Enter ends the program by the same path as closing the window.
    void OnOK() override;
    // The close path: the close box, Esc, Enter and the exit command; asks while modified.
    void OnCancel() override;
    INT_PTR OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

    // Title and modified flag.
    void SetTitleNoFile();
    void SetTitleForFile();
    // The first edit after a load or save: sets the flag and adds "*" to the title.
    void MarkModified();
    // After the board's data came into the editor: no file, modified.
    void MarkReadFromBoard();
    // Back to no file and nothing modified (the New command).
    void ForgetFile();
    // While modified, asks the question; true to go on (no edits, OK or Yes).
    bool ConfirmDiscard(UINT questionId, UINT type);
    // The same with "編集中のファイルを破棄しますか。" (OK/Cancel).
    bool ConfirmDiscardFile();

    // Files. Reading refuses a file shorter than an image; a save replaces the file whole.
    bool ReadFileImage(const std::wstring& path, FileImage& image);
    bool WriteFileImage(const std::wstring& path);
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    // The file named on the command line; one that cannot be read is dropped.
    void OpenFileAtStartup();

    // Connection. Connect opens the first board on any interface (the library tells the user
    // when there is none) unless one is open; true when connected and refreshed afterwards.
    // A second connection is never opened over the first.
    bool Connect();
    // Closes the connection, if any; the buttons show the editor as not connected.
    void Disconnect();
    // The board in flash-rewrite mode; nullptr while not connected.
    TOLKA_HANDLE Device() const { return m_hDevice.Handle(); }
    // The start of a write: without a connection the user is asked whether the write goes
    // to the first device found, which is then connected. False when it is not to go on.
    bool ConnectForWrite();
    // The start of an erase: only on an open connection, after the erase question.
    bool ConfirmErase();
    void OnConnect() { Connect(); }
    void OnDisconnect() { Disconnect(); }
    void OnConnectionSettings();
    // Update handlers: the connect command while not connected, the others while connected.
    bool OnUpdateConnect() const { return !m_hDevice.IsOpen(); }
    bool OnUpdateConnected() const { return m_hDevice.IsOpen(); }

    void OnFlashModeHelp();

    // Every call of the editor to the board goes through this link: it shows the wait cursor.
    core::DeviceLink& BoardLink() { return m_boardLink; }

private:
    EditorTraits m_traits;
    CWaitCursorLink m_boardLink;
    core::BoardConnection m_hDevice{m_boardLink};
};

// An editor program's application object: runs its window with the file the command line
// names; the program ends when the window closes. An editor that needs Windows Sockets 1.1
// names the text it shows when they cannot start: then the window never opens.
//
//   CEditorApp theApp(MakeEditor<CMyEditorDlg>);
class CEditorApp : public fw::CWinApp {
public:
    using EditorMaker = std::unique_ptr<CEditorDialog> (*)();
    explicit CEditorApp(EditorMaker makeEditor, UINT socketsFailedTextId = 0)
        : m_makeEditor(makeEditor), m_socketsFailedTextId(socketsFailedTextId) {}

    BOOL InitInstance() override;
    int ExitInstance() override;

protected:
    // Windows Sockets 1.1 (common/sockets.h); tests stand in for it.
    virtual bool StartSockets();

private:
    EditorMaker m_makeEditor;
    UINT m_socketsFailedTextId;
    bool m_bSocketsStarted = false;
};

template <class Editor>
std::unique_ptr<CEditorDialog> MakeEditor() {
    return std::make_unique<Editor>();
}
