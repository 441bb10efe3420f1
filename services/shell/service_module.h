// What a service program gives the shared shell: its names, limits, texts, resources, the
// order of its start-up steps and how it constructs its service manager.
#pragma once

#include <vector>

#include "platform/kernel/win_types.h"
#include "services/shell/switches.h"
#include "session/svc_mgr.h"

enum class StartStep {
    ResourceLibrary,       // GetResourceInstance; 0 fails start-up
    SettingsKey,           // string 2054 of the resource library
    SettingsKeyIfFetched,  // string 2054 through GetString, applied only when not empty
    InstanceSemaphore,     // a unit of the instance semaphore, taken without waiting
    ProfileSettings,       // the recent-file list
    HelpFile,              // HelpFileName followed by string 1274
    DocumentTemplate,
    Switches,               // ParseSwitches (modules that scan only a non-empty line skip it there)
    Document,               // open the command line, or a new empty document
    TimerInit,              // FVTimerInit
    DropFiles,              // the main window accepts dropped files
    UnhandledExceptionBox,  // a box with the module's text for an exception nothing handles
};

struct ServiceModule {
    const char* programName;  // the application's name in settings
    const char* semaphoreName;
    LONG instanceCount;  // initial and maximum count of the instance semaphore
    std::vector<StartStep> startSteps;
    // Resources: the shared library's (null: set by the ResourceLibrary step) or the module's.
    HINSTANCE (*ownResources)();
    UINT templateId;
    const char* acceptedSwitches;  // letters, upper case
    bool scanSwitchesOnEmptyLine;
    bool fallBackToNewDocument;     // after a failed open of the command-line document
    int programExitCode;            // for FVProgramExit
    const char* missingFileText;    // with %s for the path
    const char* creationErrorText;  // null: no box
    const char* creationErrorCaption;
    bool contextHelpButton;
    bool documentCommand;                // command 32806
    const char* unhandledExceptionText;  // for the UnhandledExceptionBox step
    // Allocates and constructs the module's manager; may throw std::bad_alloc.
    CFVSvcMgr* (*createManager)(const char* path, const ShellSwitches& switches);
};
