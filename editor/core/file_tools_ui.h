// What file comparison and find files ask of the user interface: their dialogs, the modeless
// difference dialog and search status window, the arrangement of the two compared windows and
// a chance for the message loop to run during a long search. The windowed editor installs its
// implementation at start-up; until then a scripted one answers from queues and records what
// was shown (tests and fvedit-replay use it).
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "editor/core/history.h"
#include "platform/kernel/win_types.h"

struct EditWindow;

inline constexpr std::size_t FILE_TOOLS_TEXT_SIZE = HISTORY_ENTRY_SIZE;  // 127 characters

// The Compare dialog's fields: filled from the compare state, stored back on OK.
struct CompareDialogData {
    char file1[FILE_TOOLS_TEXT_SIZE];
    char file2[FILE_TOOLS_TEXT_SIZE];
    const HistoryList* history1;
    const HistoryList* history2;
    WORD startLine1;  // 1-based
    WORD startLine2;
    bool vertical;
};

// The Find Files Containing dialog's fields.
struct FindFilesDialogData {
    char pattern[FILE_TOOLS_TEXT_SIZE];
    char fileMasks[FILE_TOOLS_TEXT_SIZE];
    const HistoryList* patternHistory;
    const HistoryList* fileMaskHistory;
    const char* currentDirectory;
    BOOL matchCase;
    BOOL regularExpression;
    bool oemFont;  // the pattern field takes the document font with OEM conversion
};

// The List Found Files dialog: what it shows, and the index of the name chosen.
struct FileListDialogData {
    const char* pattern;
    const char* fileMasks;
    std::vector<std::string> files;  // found files not yet opened, in table order
    int chosen;                      // index into files; set when the dialog returns 1
};

class FileToolsUi {
public:
    virtual ~FileToolsUi() = default;

    // Modal dialogs: 1 for OK (data stored back), 0 for Cancel.
    virtual int CompareDialog(CompareDialogData& data) = 0;
    virtual int FindFilesDialog(FindFilesDialogData& data) = 0;
    virtual int FileListDialog(FileListDialogData& data) = 0;

    // Places the two compared windows in the document area, one above the other or side by
    // side, and gives file 1 the focus.
    virtual void ArrangeCompareWindows(EditWindow* first, EditWindow* second, bool vertical) = 0;
    // Opens the difference dialog or updates its text and button.
    virtual void ShowDifferenceDialog(const char* message, const char* buttonText) = 0;
    virtual void CloseDifferenceDialog() = 0;

    // The search status window: created when needed, its lines updated (lastFound null while
    // nothing was found), and closed.
    virtual void ShowSearchStatus(const char* searching, const char* lastFound) = 0;
    virtual void CloseSearchStatus() = 0;
    // Disables (busy) or enables again the frame and document windows around a search.
    virtual void SetSearchBusy(bool busy) = 0;
    // Runs the window messages that are waiting (the status window's Cancel among them).
    virtual void ProcessPendingMessages() = 0;
};

// Answers from queues and records what was shown: without a queued answer a dialog is
// cancelled. onPump runs where the windowed editor would run its waiting messages.
class ScriptedFileToolsUi : public FileToolsUi {
public:
    int CompareDialog(CompareDialogData& data) override;
    int FindFilesDialog(FindFilesDialogData& data) override;
    int FileListDialog(FileListDialogData& data) override;
    void ArrangeCompareWindows(EditWindow* first, EditWindow* second, bool vertical) override;
    void ShowDifferenceDialog(const char* message, const char* buttonText) override;
    void CloseDifferenceDialog() override;
    void ShowSearchStatus(const char* searching, const char* lastFound) override;
    void CloseSearchStatus() override;
    void SetSearchBusy(bool busy) override;
    void ProcessPendingMessages() override;

    // A queued answer changes the fields it names; an empty file name keeps the preset.
    struct CompareAnswer {
        std::string file1, file2;
        WORD startLine1 = 1, startLine2 = 1;
        bool vertical = false;
    };
    struct FindFilesAnswer {
        std::string pattern, fileMasks;
        bool matchCase = false, regularExpression = false;
    };
    void QueueCompare(const CompareAnswer& answer) { compares_.push_back(answer); }
    void QueueFindFiles(const FindFilesAnswer& answer) { finds_.push_back(answer); }
    // The name chosen in the next List Found Files dialog (-1 cancels).
    void QueueFileChoice(int index) { choices_.push_back(index); }

    std::vector<std::string> differenceTexts;  // every message the difference dialog showed
    std::string differenceButton;
    bool differenceOpen = false;
    bool statusOpen = false;
    int statusUpdates = 0;
    std::string lastSearching, lastFound;
    bool busy = false;
    bool arrangedVertically = false;
    FindFilesDialogData lastFindFilesData{};  // as the dialog was preset (no directory)
    std::string lastCurrentDirectory;         // the directory it showed
    std::vector<std::string> listedFiles;     // what the last list dialog offered
    std::function<void()> onPump;

private:
    std::deque<CompareAnswer> compares_;
    std::deque<FindFilesAnswer> finds_;
    std::deque<int> choices_;
};

// The implementation in use; a ScriptedFileToolsUi until another is installed (null restores
// it).
FileToolsUi& FileTools();
void SetFileToolsUi(FileToolsUi* ui);
