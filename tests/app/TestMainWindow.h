#pragma once

#include "app/MainWindow.h"
#include "core/Model.h"

#include <QTemporaryDir>

#include <memory>

namespace tv {

// How tests start the main window: `directory` as program and configuration directory, and
// no settings read or written.
inline MainWindowOptions TestProgramOptions(const QString& directory) {
    MainWindowOptions o;
    o.programDirectory = directory;
    o.userConfigDirectory = directory;
    o.readSettings = false;
    o.writeSettingsAtEnd = false;
    return o;
}

// A main window for widget tests: a fresh program-start model and a new temporary directory
// as program and configuration directory.
inline void CreateTestMainWindow(std::unique_ptr<QTemporaryDir>& dir, std::unique_ptr<Model>& model,
                                 std::unique_ptr<MainWindow>& window) {
    dir = std::make_unique<QTemporaryDir>();
    model = std::make_unique<Model>();
    model->InitialiseForProgramStart();
    window = std::make_unique<MainWindow>(*model, TestProgramOptions(dir->path()));
}

} // namespace tv
