#pragma once

#include "app/MainWindow.h"
#include "app/Program.h"
#include "core/Model.h"

#include <QSignalSpy>
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

// The whole program as users start it (the one assembly), in a temporary directory of its
// own; tests that need every layer's commands use it. Start() shows the window and waits
// for the start-up solution.
struct TestProgram {
    QTemporaryDir dir;
    std::unique_ptr<Program> program = std::make_unique<Program>(TestProgramOptions(dir.path()));

    MainWindow& window() { return program->window(); }
    Model& model() { return program->model(); }
    bool Start(int width = 1024, int height = 720) {
        QSignalSpy started(&window(), &MainWindow::startupFinished);
        window().resize(width, height);
        window().show();
        return started.wait(20000);
    }
};

} // namespace tv
