// The shell of a service program: a single-document application whose only document is a
// session file. Opening the file starts a worker thread that constructs the module's service
// manager and waits for the session's end event; when it is signalled the worker destroys the
// manager and closes the main window, which ends the program.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "platform/kernel/win_types.h"
#include "platform/ui/user_constants.h"
#include "services/shell/service_module.h"
#include "services/shell/switches.h"

// Posted by a worker to the main window: show the module's creation-error box.
inline constexpr UINT kShowCreationErrorMessage = farvane::ui::WM_APP + 1;

class CServiceApp {
public:
    static constexpr int kRecentFileCount = 4;

    explicit CServiceApp(const ServiceModule& module);
    CServiceApp(const CServiceApp&) = delete;
    CServiceApp& operator=(const CServiceApp&) = delete;

    // The whole program: start-up, the message loop, exit. Returns the exit code.
    int Run(const std::string& commandLine);
    // Start-up in the module's order; FALSE ends the program without a message.
    BOOL InitInstance(std::string commandLine);
    // The message loop; returns the framework's result (the quit code).
    int MessageLoop();
    // Exit in its fixed order; returns `frameworkResult`.
    int ExitInstance(int frameworkResult);

    // Documents (single-document: one document, reused).
    BOOL OpenDocumentFile(const std::string& path);
    BOOL NewDocument();
    void CloseDocument();
    BOOL OpenSessionFile(const std::string& path);
    BOOL StartSessionThread(const std::string& path);
    static DWORD SessionThreadProc(LPVOID pathString);
    BOOL CreateSvcManager(const char* path);
    void DestroySvcManager();

    // Commands of the frame, the document and the view.
    void OnCommand(UINT command);
    bool CommandEnabled(UINT command) const;

    const ServiceModule& Module() const { return module_; }
    const ShellSwitches& Switches() const { return switches_; }
    HWND MainWindow() const { return mainWindow_.load(); }
    void MainWindowDestroyed() { mainWindow_.store(nullptr); }
    HINSTANCE Resources() const { return resources_; }
    const std::string& DocumentPath() const { return documentPath_; }
    const std::string& HelpPath() const { return helpPath_; }
    const std::string& SettingsKey() const { return settingsKey_; }
    bool HoldsInstanceUnit() const { return semaphore_ != nullptr; }
    std::vector<std::string> RecentFiles() const;
    CFVSvcMgr* Manager() const { return manager_.load(); }
    // Workers started and not yet ended.
    int RunningWorkers() const { return workers_.load(); }
    // Shows the creation-error box; the worker asks the main thread for it with
    // kShowCreationErrorMessage, since only that thread shows windows.
    void ShowCreationError();
    // The application object of this process (one per program).
    static CServiceApp* Current() { return current_; }

private:
    bool RunStep(StartStep step, std::string& commandLine);
    bool TakeInstanceUnit();
    void InstallUnhandledExceptionBox();
    void SetHelpPath();
    bool EnsureMainWindow();
    void ShowMainWindow();
    void SetDocumentPath(const std::string& path);
    void AddRecentFile(const std::string& path);
    std::string SettingsFile() const;
    std::string TemplateField(int index) const;
    void ShowAbout();
    void ChooseAndOpen();

    const ServiceModule& module_;
    ShellSwitches switches_;
    HANDLE semaphore_ = nullptr;
    HINSTANCE resources_ = nullptr;
    std::string settingsKey_;
    std::string helpPath_;
    std::string documentPath_;
    bool templateRegistered_ = false;
    bool shown_ = false;
    std::atomic<HWND> mainWindow_{nullptr};
    // The module's one manager; taken and cleared in one atomic step by whichever thread
    // destroys it, so it is destroyed exactly once.
    std::atomic<CFVSvcMgr*> manager_{nullptr};
    std::atomic<int> workers_{0};
    static CServiceApp* current_;
};
