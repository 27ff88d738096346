#pragma once

#include "app/MainWindow.h"
#include "core/Model.h"

#include <QTemporaryDir>

#include <memory>

namespace tv {

// A main window for widget tests: a fresh program-start model, a new temporary directory as
// program and configuration directory, and no settings read or written.
inline void CreateTestMainWindow(std::unique_ptr<QTemporaryDir>& dir, std::unique_ptr<Model>& model,
                                 std::unique_ptr<MainWindow>& window) {
    dir = std::make_unique<QTemporaryDir>();
    model = std::make_unique<Model>();
    model->InitialiseForProgramStart();
    MainWindowOptions o;
    o.programDirectory = dir->path();
    o.userConfigDirectory = dir->path();
    o.readSettings = false;
    o.writeSettingsAtEnd = false;
    window = std::make_unique<MainWindow>(*model, o);
}

} // namespace tv
