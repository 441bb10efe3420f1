#include "services/shell/service_app.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>

#include "platform/kernel/profile.h"
#include "platform/kernel/synch.h"
#include "platform/kernel/thread.h"
#include "platform/ui/ui.h"
#include "services/shell/main_frame.h"
#include "session/session_end_event.h"
#include "suite/fvcomm32/fvcomm32.h"
#include "suite/fvcomm32/resource_library.h"
#include "suite/fvtime32/fvtime32.h"
#include "suite/rt32base/rt32base.h"

using namespace farvane::ui;

CServiceApp* CServiceApp::current_ = nullptr;

namespace {

INT_PTR AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

// The framework's own open of a document file: a path that exists but cannot be read (a
// folder, no permission) is refused with the framework's message. A missing file passes, so
// the session start reports it with the module's own text.
bool FrameworkCanOpen(const std::string& path, HWND owner, const std::string& title) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return true;
    }
    if (S_ISREG(info.st_mode) && access(path.c_str(), R_OK) == 0) {
        return true;
    }
    std::string text = "Cannot open document: " + path;
    MessageBoxA(owner, text.c_str(), title.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

// The text of the unhandled-exception box, for the terminate handler.
const char* g_unhandledExceptionText = nullptr;

[[noreturn]] void ShowUnhandledException() {
    // Boxes show on the main thread only; elsewhere the text goes to the error output.
    if (!MessageBoxA(nullptr, g_unhandledExceptionText, nullptr, MB_OK)) {
        std::fprintf(stderr, "%s\n", g_unhandledExceptionText);
    }
    std::abort();
}

}  // namespace

void CServiceApp::InstallUnhandledExceptionBox() {
    g_unhandledExceptionText = module_.unhandledExceptionText;
    std::set_terminate(ShowUnhandledException);
}

CServiceApp::CServiceApp(const ServiceModule& module) : module_(module) {
    current_ = this;
}

int CServiceApp::Run(const std::string& commandLine) {
    if (!InitInstance(commandLine)) {
        // Start-up failed: the exit steps still run (timers, notification, semaphore), and
        // the program ends with 1 so that a caller can tell it did not start.
        ExitInstance(0);
        return 1;
    }
    return ExitInstance(MessageLoop());
}

BOOL CServiceApp::InitInstance(std::string commandLine) {
    if (module_.ownResources) {
        resources_ = module_.ownResources();
    }
    for (StartStep step : module_.startSteps) {
        if (!RunStep(step, commandLine)) {
            return FALSE;
        }
    }
    return MainWindow() != nullptr;
}

bool CServiceApp::RunStep(StartStep step, std::string& commandLine) {
    switch (step) {
        case StartStep::ResourceLibrary:
            resources_ = GetResourceInstance();
            return resources_ != nullptr;
        case StartStep::SettingsKey:
            settingsKey_ = LoadStringText(resources_, IDS_SETTINGS_KEY);
            return true;
        case StartStep::SettingsKeyIfFetched: {
            char key[260] = {};
            GetString(IDS_SETTINGS_KEY, key, sizeof key);
            if (key[0] != '\0') {
                settingsKey_ = key;
            }
            return true;
        }
        case StartStep::InstanceSemaphore:
            return TakeInstanceUnit();
        case StartStep::ProfileSettings:
            return true;  // the recent-file list is read from the settings file when asked
        case StartStep::HelpFile:
            SetHelpPath();
            return true;
        case StartStep::DocumentTemplate:
            templateRegistered_ = true;
            return true;
        case StartStep::Switches:
            if (!commandLine.empty() || module_.scanSwitchesOnEmptyLine) {
                ParseSwitches(commandLine, module_.acceptedSwitches, switches_);
            }
            return true;
        case StartStep::Document: {
            // The switches before a path leave blanks in front of it; the path starts after
            // them (the command line itself keeps them).
            std::string path = commandLine.substr(
                std::min(commandLine.find_first_not_of(' '), commandLine.size()));
            if (path.empty()) {
                NewDocument();
            } else if (!OpenDocumentFile(path) && module_.fallBackToNewDocument) {
                NewDocument();
            }
            ShowMainWindow();
            return true;
        }
        case StartStep::TimerInit:
            FVTimerInit();
            return true;
        case StartStep::UnhandledExceptionBox:
            InstallUnhandledExceptionBox();
            return true;
        case StartStep::DropFiles:
            if (HWND main = MainWindow()) {
                DragAcceptFiles(main, TRUE);
            }
            return true;
    }
    return false;
}

bool CServiceApp::TakeInstanceUnit() {
    HANDLE semaphore = CreateSemaphoreA(nullptr, module_.instanceCount, module_.instanceCount,
                                        module_.semaphoreName);
    if (!semaphore) {
        return false;
    }
    if (WaitForSingleObject(semaphore, 0) != WAIT_OBJECT_0) {
        CloseHandle(semaphore);
        return false;
    }
    semaphore_ = semaphore;
    return true;
}

void CServiceApp::SetHelpPath() {
    helpPath_.clear();  // a previous path is released first
    int length = HelpFileName(nullptr, 0);
    std::string name(static_cast<std::size_t>(length) + 1, '\0');
    HelpFileName(name.data(), length + 1);
    name.resize(static_cast<std::size_t>(length));
    helpPath_ = name + LoadStringText(resources_, IDS_HELP_FILE_SUFFIX);
}

int CServiceApp::MessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int CServiceApp::ExitInstance(int frameworkResult) {
    FVTimerExit();
    if (switches_.w) {
        FVProgramExit(module_.programExitCode, 0);
    }
    if (semaphore_) {
        ReleaseSemaphore(semaphore_, 1, nullptr);
        CloseHandle(semaphore_);
        semaphore_ = nullptr;
    }
    return frameworkResult;
}

// The template string's fields: window title, document name, new-document name, filter,
// extension, file type, type name.
std::string CServiceApp::TemplateField(int index) const {
    std::string text = LoadStringText(resources_, module_.templateId);
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = text.find('\n', start);
        if (start == std::string::npos) {
            return {};
        }
        ++start;
    }
    return text.substr(start, text.find('\n', start) - start);
}

bool CServiceApp::EnsureMainWindow() {
    if (MainWindow()) {
        return true;
    }
    if (!templateRegistered_) {
        return false;
    }
    std::string title = TemplateField(0);
    mainWindow_.store(CreateMainFrame(*this, title.empty() ? module_.programName : title.c_str()));
    if (HWND main = MainWindow()) {
        SendMessageA(main, WM_SIZE, 0, 0);
        return true;
    }
    return false;
}

// Shown once: minimised and not activated while a session file is open, else normally.
void CServiceApp::ShowMainWindow() {
    HWND main = MainWindow();
    if (!main || shown_) {
        return;
    }
    shown_ = true;
    ShowWindow(main, documentPath_.empty() ? SW_SHOW : SW_SHOWMINNOACTIVE);
    UpdateWindow(main);
}

void CServiceApp::SetDocumentPath(const std::string& path) {
    documentPath_ = path;
    std::string title = TemplateField(0);
    if (title.empty()) {
        title = module_.programName;
    }
    std::string name = path.empty() ? "Untitled" : path.substr(path.find_last_of("/\\") + 1);
    if (HWND main = MainWindow()) {
        SetWindowTextA(main, (name + " - " + title).c_str());
    }
}

BOOL CServiceApp::NewDocument() {
    if (!EnsureMainWindow()) {
        return FALSE;
    }
    SetDocumentPath("");
    return TRUE;
}

BOOL CServiceApp::OpenDocumentFile(const std::string& path) {
    bool madeWindow = MainWindow() == nullptr;
    if (!EnsureMainWindow()) {
        return FALSE;
    }
    if (!OpenSessionFile(path)) {
        if (madeWindow) {
            // A frame made for this document goes with it.
            HWND main = MainWindow();
            SetWindowLongPtrA(main, GWL_USERDATA, 0);
            DestroyWindow(main);
            mainWindow_.store(nullptr);
        }
        return FALSE;
    }
    SetDocumentPath(path);
    AddRecentFile(path);
    return TRUE;
}

BOOL CServiceApp::OpenSessionFile(const std::string& path) {
    if (!FrameworkCanOpen(path, MainWindow(), module_.programName)) {
        return FALSE;
    }
    return StartSessionThread(path);
}

BOOL CServiceApp::StartSessionThread(const std::string& path) {
    if (!FileExists(path.c_str())) {
        char text[1400];
        std::snprintf(text, sizeof text, module_.missingFileText, path.c_str());
        MessageBoxA(MainWindow(), text, "fvhost32", MB_OK);
        return FALSE;
    }
    auto* copy = new std::string(path);
    ++workers_;
    HANDLE thread = CreateThread(nullptr, 0, SessionThreadProc, copy, 0, nullptr);
    if (!thread) {
        --workers_;
        delete copy;
        return FALSE;
    }
    CloseHandle(thread);
    return TRUE;
}

DWORD CServiceApp::SessionThreadProc(LPVOID pathString) {
    auto* handedIn = static_cast<std::string*>(pathString);
    std::string path = *handedIn;
    CServiceApp& app = *current_;
    DWORD exitCode = 0;
    if (!app.CreateSvcManager(path.c_str())) {
        exitCode = static_cast<DWORD>(-102);
    } else {
        HANDLE endEvent = CreateEventA(nullptr, TRUE, FALSE, SessionEndEventName(path).c_str());
        if (!endEvent) {
            exitCode = static_cast<DWORD>(-100);
        } else {
            exitCode = WaitForSingleObject(endEvent, INFINITE) == WAIT_OBJECT_0
                           ? 0
                           : static_cast<DWORD>(-101);
            CloseHandle(endEvent);
        }
    }
    app.DestroySvcManager();
    if (HWND main = app.MainWindow()) {
        PostMessageA(main, WM_CLOSE, 0, 0);
    }
    delete handedIn;
    --app.workers_;
    return exitCode;
}

BOOL CServiceApp::CreateSvcManager(const char* path) {
    if (manager_.load()) {
        return FALSE;
    }
    try {
        CFVSvcMgr* manager = module_.createManager(path, switches_);
        CFVSvcMgr* expected = nullptr;
        if (manager && !manager_.compare_exchange_strong(expected, manager)) {
            delete manager;  // another worker stored one meanwhile
            return FALSE;
        }
        return manager ? TRUE : FALSE;
    } catch (const std::bad_alloc&) {
        DestroySvcManager();
        if (module_.creationErrorText) {
            if (HWND main = MainWindow()) {
                PostMessageA(main, kShowCreationErrorMessage, 0, 0);  // before the close
            } else {
                ShowCreationError();
            }
        }
        return FALSE;
    }
}

void CServiceApp::ShowCreationError() {
    if (module_.creationErrorText) {
        MessageBoxA(nullptr, module_.creationErrorText, module_.creationErrorCaption, MB_OK);
    }
}

void CServiceApp::DestroySvcManager() {
    delete manager_.exchange(nullptr);
}

void CServiceApp::CloseDocument() {
    DestroySvcManager();
    documentPath_.clear();
}

std::string CServiceApp::SettingsFile() const {
    std::string name = module_.programName;
    return (settingsKey_.empty() ? name : settingsKey_ + "_" + name) + ".INI";
}

std::vector<std::string> CServiceApp::RecentFiles() const {
    std::vector<std::string> files;
    for (int i = 1; i <= kRecentFileCount; ++i) {
        char path[1024] = {};
        std::string key = "File" + std::to_string(i);
        if (GetPrivateProfileStringA("Recent File List", key.c_str(), "", path, sizeof path,
                                     SettingsFile().c_str()) > 0) {
            files.push_back(path);
        }
    }
    return files;
}

void CServiceApp::AddRecentFile(const std::string& path) {
    std::vector<std::string> files = RecentFiles();
    std::erase(files, path);
    files.insert(files.begin(), path);
    files.resize(std::min<std::size_t>(files.size(), kRecentFileCount));
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::string key = "File" + std::to_string(i + 1);
        WritePrivateProfileStringA("Recent File List", key.c_str(), files[i].c_str(),
                                   SettingsFile().c_str());
    }
}

bool CServiceApp::CommandEnabled(UINT command) const {
    if (command == ID_SESSION_DOCUMENT) {
        return module_.documentCommand && !documentPath_.empty();
    }
    return true;
}

void CServiceApp::OnCommand(UINT command) {
    switch (command) {
        case ID_APP_ABOUT:
            ShowAbout();
            break;
        case ID_FILE_NEW:
            NewDocument();
            break;
        case ID_FILE_OPEN:
            ChooseAndOpen();
            break;
        case ID_FILE_PRINT_SETUP: {
            PRINTDLGA request;
            request.hwndOwner = MainWindow();
            request.Flags = PD_PRINTSETUP;
            PrintDlgA(&request);
            break;
        }
        case ID_HELP:
        case ID_HELP_INDEX:
        case ID_CONTEXT_HELP:
            if (!helpPath_.empty()) {
                WinHelpA(MainWindow(), helpPath_.c_str(), HELP_INDEX, 0);
            }
            break;
        case ID_APP_EXIT:
            PostMessageA(MainWindow(), WM_CLOSE, 0, 0);
            break;
        default:
            // The view prints nothing, the document command does nothing, and the document
            // has nothing to save or edit.
            break;
    }
}

void CServiceApp::ShowAbout() {
    DialogBoxParamA(resources_, MAKEINTRESOURCEA(IDD_ABOUT_BOX), MainWindow(), AboutProc, 0);
}

void CServiceApp::ChooseAndOpen() {
    char path[1024] = {};
    std::string filter = TemplateField(3);
    std::string pattern = filter.substr(filter.find('(') + 1);
    pattern = pattern.substr(0, pattern.find(')'));
    std::string filters = filter + '\0' + pattern + '\0' + "All Files (*.*)" + '\0' + "*.*" + '\0';
    OPENFILENAMEA request;
    request.hwndOwner = MainWindow();
    request.lpstrFilter = filters.c_str();
    request.lpstrFile = path;
    request.nMaxFile = sizeof path;
    request.Flags = OFN_FILEMUSTEXIST;
    if (GetOpenFileNameA(&request)) {
        OpenDocumentFile(path);
    }
}
