// A QApplication for the Qt backend tests, made once per test program on the platform the
// environment names (offscreen unless QT_QPA_PLATFORM says otherwise).
#pragma once

#include <QApplication>

#include <cstdlib>

#include "platform/ui/headless_backend.h"
#include "platform/ui/qt/qt_backend.h"
#include "platform/ui/qt/ui_start.h"

namespace farvane::ui::testing {

inline qt::QtBackend* StartQtBackend(const char* platform = "offscreen") {
    static int argc = 1;
    static char name[] = "ui_qt_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        setenv("QT_QPA_PLATFORM", platform, 0);
        setenv("FARVANE_UI", "qt", 1);
        StartUi(argc, argv, false);
    } else {
        InstallBackend(std::make_unique<qt::QtBackend>());
    }
    return qt::CurrentQtBackend();
}

// Lets Qt deliver what is pending (posted widget events, deferred deletes).
inline void ProcessQtEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, 0);
        QCoreApplication::processEvents();
    }
}

}  // namespace farvane::ui::testing
