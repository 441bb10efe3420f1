#include "editor/ui/startup.h"

#include "editor/core/command_state.h"
#include "editor/core/documents.h"
#include "editor/core/editor_paths.h"
#include "editor/core/editor_settings.h"
#include "editor/core/editor_strings.h"
#include "editor/core/key_file.h"
#include "editor/core/key_table.h"
#include "editor/core/macro.h"
#include "editor/core/state_file.h"
#include "editor/ui/command_line.h"
#include "editor/ui/editor_dialogs.h"
#include "editor/ui/editor_fonts.h"
#include "editor/ui/editor_menus.h"
#include "editor/ui/file_tools_windows.h"
#include "editor/ui/menu_ids.h"
#include "editor/ui/script_builder.h"
#include "editor/ui/window_commands.h"
#include "editor/ui/window_painter.h"
#include "editor/ui/window_procedures.h"
#include "editor/ui/windowed_ui.h"

namespace fvedit {

namespace {

WindowedUi windowedUi;
WindowPainter windowPainter;

bool RegisterEditorClasses(HINSTANCE instance) {
    const ModeNames& names = CurrentModeNames();
    WNDCLASSA frame;
    frame.lpfnWndProc = FrameWndProc;
    frame.hInstance = instance;
    frame.hbrBackground =
        reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_APPWORKSPACE + 1));
    frame.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    frame.lpszClassName = names.frameClass;
    WNDCLASSA document;
    document.style = CS_DBLCLKS;
    document.lpfnWndProc = DocumentWndProc;
    document.cbWndExtra = sizeof(void*);
    document.hInstance = instance;
    document.hbrBackground =
        reinterpret_cast<HBRUSH>(static_cast<std::uintptr_t>(COLOR_WINDOW + 1));
    document.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
    document.lpszClassName = names.documentClass;
    WNDCLASSA status;
    status.style = CS_HREDRAW | CS_VREDRAW;
    status.lpfnWndProc = StatusWndProc;
    status.hInstance = instance;
    status.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    status.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    status.lpszClassName = names.statusClass;
    return RegisterClassA(&frame) && RegisterClassA(&document) && RegisterClassA(&status);
}

void SendToCurrentDocument(UINT message, WPARAM wParam, LPARAM lParam) {
    if (HWND document = DocumentWindowOf(pwinCurrent)) {
        SendMessageA(document, message, wParam, lParam);
    }
}

void Initialise(HINSTANCE instance) {
    ew = EditorWindows{};
    ew.instance = instance;
    ew.systemBlinkTime = GetCaretBlinkTime();
    SetWordCharacters(EditorString(IDS_WORD_CHARACTERS));
    (void)ProgramDirectory();
    (void)EditorUserId();
    RegisterStringResource(instance, IDS_ARRANGE_ICONS, "&Arrange Icons");
    RegisterMenuResources(instance, editorMode);
    SetEditorUi(&windowedUi);
    InstallFileToolsWindows(true);
    SetViewPainter(&windowPainter);
    BindWindowCommands();
    installKeyboardMode = InstallKeyboardMode;
    sendToDocument = SendToCurrentDocument;
}

HWND CreateFrame(HINSTANCE instance, int showCommand) {
    const EditorSettings& s = editorSettings;
    bool defaultPlace = s.frameX == FRAME_DEFAULT_POSITION;
    bool defaultSize = s.frameWidth == FRAME_DEFAULT_POSITION;
    HWND frame = CreateWindowExA(
        0, CurrentModeNames().frameClass, EditorString(CurrentModeNames().titleString),
        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, defaultPlace ? CW_USEDEFAULT : s.frameX,
        defaultPlace ? 0 : s.frameY, defaultSize ? CW_USEDEFAULT : s.frameWidth,
        defaultSize ? 0 : s.frameHeight, nullptr, nullptr, instance, nullptr);
    if (frame == nullptr) {
        return nullptr;
    }
    ew.frame = frame;
    if (editorMode == EditorMode::Print) {
        showCommand = SW_SHOWMINNOACTIVE;
    } else if (s.frameMaximized && (showCommand == SW_SHOWNORMAL || showCommand == SW_SHOW)) {
        showCommand = SW_SHOWMAXIMIZED;
    }
    ew.frameStartedMinimised = showCommand == SW_SHOWMINIMIZED ||
                               showCommand == SW_SHOWMINNOACTIVE || showCommand == SW_MINIMIZE;
    ShowWindow(frame, showCommand);
    return frame;
}

bool CreateDocumentArea(HINSTANCE instance) {
    RECT area;
    GetClientRect(ew.frame, &area);
    CLIENTCREATESTRUCT client{nullptr, ID_FIRST_DOCUMENT};
    ew.client = CreateWindowExA(0, kMdiClientClassName, nullptr,
                                WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL,
                                0, 0, area.right, area.bottom, ew.frame,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_MDI_CLIENT)),
                                instance, &client);
    return ew.client != nullptr;
}

void OpenStartingDocuments() {
    if (editorSettings.keyFileName[0] != '\0') {
        LoadKeyFile(editorSettings.keyFileName, false);
        ApplyKeyboardMode();
    }
    if (pwinFirst == nullptr && editorSettings.restoreSession) {
        RestoreFiles();
    }
    ew.startedWithDocuments = pwinFirst != nullptr;
    if (pwinFirst == nullptr) {
        new_file();
        fStartupBuffer = 1;
    }
    if (ew.documentCount <= 1) {
        HWND active = ActiveDocument();
        if (active != nullptr && !IsZoomed(active)) {
            SendMessageA(ew.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(active), 0);
            ew.childrenMaximised = true;
        }
    } else if (ew.documentCount == 2 && editorMode == EditorMode::ScriptBuilder) {
        SendMessageA(ew.client, WM_MDITILE, 0, 0);
    } else if (ew.documentCount > 2) {
        SendMessageA(ew.client, WM_MDICASCADE, 0, 0);
    }
}

}  // namespace

bool StartEditor(HINSTANCE instance, const char* commandLine, int showCommand) {
    bool hasArguments = commandLine != nullptr && commandLine[0] != '\0';
    editorMode = hasArguments ? ModeOfCommandLine(commandLine) : EditorMode::Normal;
    Initialise(instance);
    if (!RegisterEditorClasses(instance)) {
        return false;
    }
    RestoreDefaults();
    ResetKeyTable();
    if (CreateFrame(instance, showCommand) == nullptr) {
        return false;
    }
    ApplyEditorFont();
    SetTimer(ew.frame, ID_FRAME_TIMER, FRAME_TIMER_MS, nullptr);
    LoadSystemColours();
    if (!CreateDocumentArea(instance)) {
        DestroyWindow(ew.frame);
        return false;
    }
    DragAcceptFiles(ew.frame, TRUE);
    ApplyKeyboardMode();
    if (hasArguments) {
        ProcessCommandLine(commandLine);
    }
    if (editorMode == EditorMode::Print) {
        DestroyWindow(ew.frame);
        return true;
    }
    OpenStartingDocuments();
    AllowMessagesFromOtherPrograms();
    return true;
}

bool MessageLoopStep() {
    MSG msg;
    if (!GetMessageA(&msg, nullptr, 0, 0)) {
        return false;
    }
    if (HWND confirm = ConfirmReplacementDialog();
        confirm != nullptr && IsDialogMessageA(confirm, &msg)) {
        return true;
    }
    if (HWND tool = OpenFileToolsDialog(); tool != nullptr && IsDialogMessageA(tool, &msg)) {
        return true;
    }
    for (HWND dialog : {AssistantDialog(), ReferenceDialog()}) {
        if (dialog != nullptr && IsDialogMessageA(dialog, &msg)) {
            return true;
        }
    }
    if (ew.frame != nullptr && ew.accelerators != nullptr &&
        TranslateAcceleratorA(ew.frame, ew.accelerators, &msg)) {
        return true;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

int RunMessageLoop() {
    while (MessageLoopStep()) {
    }
    return 0;
}

void ShutDownEditor() {
    StopMessagesFromOtherPrograms();
    const ModeNames& names = CurrentModeNames();
    if (ew.frame != nullptr && IsWindow(ew.frame)) {
        ew.exiting = true;
        DestroyWindow(ew.frame);
    }
    UnregisterClassA(names.frameClass, ew.instance);
    UnregisterClassA(names.documentClass, ew.instance);
    UnregisterClassA(names.statusClass, ew.instance);
    SetEditorUi(nullptr);
    InstallFileToolsWindows(false);
    SetViewPainter(nullptr);
    installKeyboardMode = nullptr;
    ResetMacro();
    ew = EditorWindows{};
}

bool HandToRunningEditor(const std::string& commandLine) {
    EditorMode mode = ModeOfCommandLine(commandLine.c_str());
    EditorMode saved = editorMode;
    editorMode = mode;
    HWND running = FindWindowA(CurrentModeNames().frameClass, nullptr);
    editorMode = saved;
    if (running == nullptr || !IsRemoteWindow(running) || mode == EditorMode::Print) {
        return false;
    }
    return PostTextMessage(running, WM_HAND_OVER_COMMAND_LINE,
                           CommandLineWithFullPaths(commandLine)) != FALSE;
}

}  // namespace fvedit
