// The editor's dialogs: Goto Line (template 20), Find (21), Replace (22), the modeless Confirm
// Replacement (23), Document Preferences (27), Editor Preferences (28), Key Assignments (29),
// About, and help. The templates carry the control ids the text core's dialog logic names.
#pragma once

#include "editor/core/ui_services.h"
#include "editor/ui/ui_state.h"

namespace fvedit {

inline constexpr int IDD_GOTO_LINE = 20;
inline constexpr int IDD_FIND = 21;
inline constexpr int IDD_REPLACE = 22;
inline constexpr int IDD_CONFIRM = 23;
inline constexpr int IDD_ABOUT = 30;

inline constexpr int IDC_LINE_NUMBER = 640;
inline constexpr int IDC_PATTERN = 601;
inline constexpr int IDC_MATCH_CASE = 602;
inline constexpr int IDC_REGULAR_EXPRESSION = 603;
inline constexpr int IDC_PREVIOUS = 604;
inline constexpr int IDC_REPLACEMENT = 610;
inline constexpr int IDC_CONFIRM_CHANGES = 611;
inline constexpr int IDC_DIALOG_HELP = 643;
inline constexpr int IDC_CONFIRM_QUESTION = 750;

inline constexpr DWORD HELP_FIND_CONTEXT = 26047;
inline constexpr DWORD HELP_REPLACE_CONTEXT = 26048;
inline constexpr DWORD HELP_GOTO_LINE_CONTEXT = 26049;

// Find (replace false) or Replace; 1 for OK.
int RunSearchDialog(SearchDialogData& data, bool replace);
void ShowConfirmReplacement(const char* question, BOOL confirmChanges);
void CloseConfirmReplacement();
// The open Confirm Replacement dialog, or null (the message loop routes its keys).
HWND ConfirmReplacementDialog();
int RunGotoLineDialog(const char* initial, const GotoLineAccept& accept);

void RunDocumentPreferences();
void RunEditorPreferences();
void RunKeyAssignments();
void ShowAbout();
void ShowEditorHelp();
void ShowHelpContext(DWORD context);
// Sets the topic that the help's contents show.
void SetHelpContents(DWORD context);

// Fills a combo box with the non-empty entries of a history list.
void FillHistoryCombo(HWND dialog, int control, const HistoryList* list);

}  // namespace fvedit
