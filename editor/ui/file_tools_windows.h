// The windowed implementation of the file tools' user interface: the Compare (template 17),
// difference (18), Find Files Containing (24), search status (25) and List Found Files (26)
// dialogs, and the arrangement of the compared windows.
#pragma once

#include "editor/core/file_tools_ui.h"
#include "editor/ui/ui_state.h"

namespace fvedit {

inline constexpr int IDD_COMPARE = 17;
inline constexpr int IDD_DIFFERENCE = 18;
inline constexpr int IDD_FIND_FILES = 24;
inline constexpr int IDD_FIND_FILE_STATUS = 25;
inline constexpr int IDD_FILE_LIST = 26;

inline constexpr int IDC_COMPARE_FILE1 = 730;
inline constexpr int IDC_COMPARE_FILE2 = 731;
inline constexpr int IDC_COMPARE_LINE1 = 732;
inline constexpr int IDC_COMPARE_LINE2 = 733;
inline constexpr int IDC_COMPARE_HORIZONTAL = 734;
inline constexpr int IDC_COMPARE_VERTICAL = 735;
inline constexpr int IDC_COMPARE_BROWSE = 736;
inline constexpr int IDC_DIFFERENCE_STEP = 770;
inline constexpr int IDC_DIFFERENCE_TEXT = 771;
inline constexpr int IDC_FIND_PATTERN = 601;
inline constexpr int IDC_FIND_MATCH_CASE = 632;
inline constexpr int IDC_FIND_REGULAR_EXPRESSION = 633;
inline constexpr int IDC_FIND_DIRECTORY = 634;
inline constexpr int IDC_FIND_FILE_MASKS = 641;
inline constexpr int IDC_STATUS_SEARCHING = 507;
inline constexpr int IDC_STATUS_FOUND_LABEL = 794;
inline constexpr int IDC_STATUS_FOUND = 795;
inline constexpr int IDC_LIST_PATTERN = 640;
inline constexpr int IDC_LIST_FILE_MASKS = 641;
inline constexpr int IDC_LIST_FILES = 642;

inline constexpr DWORD HELP_COMPARE_CONTEXT = 26052;
inline constexpr DWORD HELP_FIND_FILES_CONTEXT = 26053;
inline constexpr DWORD HELP_FILE_LIST_CONTEXT = 26055;

// The dialog procedures.
INT_PTR CompareDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR DiffDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR FindFilesDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR FindFileStatusDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR FileListDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

int RunCompareDialog(CompareDialogData& data);
void ShowDifferenceWindow(const char* message, const char* buttonText);
void CloseDifferenceWindow();
void PlaceCompareWindows(EditWindow* first, EditWindow* second, bool vertical);
int RunFindFilesDialog(FindFilesDialogData& data);
int RunFileListDialog(FileListDialogData& data);
void ShowStatusWindow(const char* searching, const char* lastFound);
void CloseStatusWindow();
void EnableEditorWindows(bool enable);
// The open difference dialog, or null.
HWND DifferenceWindow();

// The open difference dialog or search status window, whose keys the message loop routes
// through it; null when neither is open.
HWND OpenFileToolsDialog();
// Help for a dialog, then the help contents.
void ShowFileToolsHelp(DWORD context);

class WindowedFileTools : public FileToolsUi {
public:
    int CompareDialog(CompareDialogData& data) override { return RunCompareDialog(data); }
    int FindFilesDialog(FindFilesDialogData& data) override { return RunFindFilesDialog(data); }
    int FileListDialog(FileListDialogData& data) override { return RunFileListDialog(data); }
    void ArrangeCompareWindows(EditWindow* first, EditWindow* second, bool vertical) override {
        PlaceCompareWindows(first, second, vertical);
    }
    void ShowDifferenceDialog(const char* message, const char* buttonText) override {
        ShowDifferenceWindow(message, buttonText);
    }
    void CloseDifferenceDialog() override { CloseDifferenceWindow(); }
    void ShowSearchStatus(const char* searching, const char* lastFound) override;
    void CloseSearchStatus() override { CloseStatusWindow(); }
    void SetSearchBusy(bool busy) override { EnableEditorWindows(!busy); }
    void ProcessPendingMessages() override;

private:
    DWORD lastStatusTick_ = 0;
    DWORD lastPumpTick_ = 0;
};

// Installs the windowed file tools (start-up) or the scripted default (null).
void InstallFileToolsWindows(bool install);

}  // namespace fvedit
