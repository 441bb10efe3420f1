#include "editor/core/file_tools_ui.h"

#include <cstdio>

namespace {

ScriptedFileToolsUi defaultUi;
FileToolsUi* installed = nullptr;

}  // namespace

FileToolsUi& FileTools() {
    return installed != nullptr ? *installed : defaultUi;
}

void SetFileToolsUi(FileToolsUi* ui) {
    installed = ui;
}

int ScriptedFileToolsUi::CompareDialog(CompareDialogData& data) {
    if (compares_.empty()) {
        return 0;
    }
    CompareAnswer answer = compares_.front();
    compares_.pop_front();
    if (!answer.file1.empty()) {
        std::snprintf(data.file1, sizeof data.file1, "%s", answer.file1.c_str());
    }
    if (!answer.file2.empty()) {
        std::snprintf(data.file2, sizeof data.file2, "%s", answer.file2.c_str());
    }
    data.startLine1 = answer.startLine1;
    data.startLine2 = answer.startLine2;
    data.vertical = answer.vertical;
    return 1;
}

int ScriptedFileToolsUi::FindFilesDialog(FindFilesDialogData& data) {
    lastFindFilesData = data;
    lastCurrentDirectory = data.currentDirectory != nullptr ? data.currentDirectory : "";
    lastFindFilesData.currentDirectory = nullptr;  // it points into the caller's frame
    if (finds_.empty()) {
        return 0;
    }
    FindFilesAnswer answer = finds_.front();
    finds_.pop_front();
    std::snprintf(data.pattern, sizeof data.pattern, "%s", answer.pattern.c_str());
    std::snprintf(data.fileMasks, sizeof data.fileMasks, "%s", answer.fileMasks.c_str());
    data.matchCase = answer.matchCase;
    data.regularExpression = answer.regularExpression;
    return 1;
}

int ScriptedFileToolsUi::FileListDialog(FileListDialogData& data) {
    listedFiles = data.files;
    if (choices_.empty()) {
        return 0;
    }
    int index = choices_.front();
    choices_.pop_front();
    if (index < 0 || index >= static_cast<int>(data.files.size())) {
        return 0;
    }
    data.chosen = index;
    return 1;
}

void ScriptedFileToolsUi::ArrangeCompareWindows(EditWindow*, EditWindow*, bool vertical) {
    arrangedVertically = vertical;
}

void ScriptedFileToolsUi::ShowDifferenceDialog(const char* message, const char* buttonText) {
    differenceOpen = true;
    differenceTexts.emplace_back(message);
    differenceButton = buttonText;
}

void ScriptedFileToolsUi::CloseDifferenceDialog() {
    differenceOpen = false;
}

void ScriptedFileToolsUi::ShowSearchStatus(const char* searching, const char* lastFoundPath) {
    statusOpen = true;
    ++statusUpdates;
    lastSearching = searching;
    lastFound = lastFoundPath != nullptr ? lastFoundPath : "";
}

void ScriptedFileToolsUi::CloseSearchStatus() {
    statusOpen = false;
}

void ScriptedFileToolsUi::SetSearchBusy(bool isBusy) {
    busy = isBusy;
}

void ScriptedFileToolsUi::ProcessPendingMessages() {
    if (onPump) {
        onPump();
    }
}
