#include "app/MainLogic.h"
#include "app/Program.h"
#include "app/StartInfo.h"

#include <QApplication>
#include <QTimer>

#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TERVALIS"));
    QApplication::setApplicationVersion(QStringLiteral("5.1"));
    // Matches the window to the installed desktop file and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tervalis.Tervalis"));

    auto info = std::make_unique<tv::StartInfoWindow>(nullptr, true);
    info->show();
    app.processEvents();

    tv::MainWindowOptions options;
    options.commandLineFile = tv::CommandLineFileName(argc, argv);
    tv::Program program(options);
    tv::MainWindow& main = program.window();
    QObject::connect(&main, &tv::MainWindow::startupFinished, info.get(),
                     [&info] { QTimer::singleShot(800, info.get(), [&info] { info->close(); }); });
    main.show();
    info->raise();
    return app.exec();
}
