#include "app/BookingLink.h"
#include "app/MainLogic.h"
#include "app/MainWindow.h"
#include "app/StartInfo.h"
#include "core/Model.h"
#include "core/RuleServer.h"
#ifdef TERVALIS_INPUT
#include "input/InputCommands.h"
#endif
#ifdef TERVALIS_VIEWS
#include "views/ViewCommands.h"
#endif
#ifdef TERVALIS_MONEY
#include "money/MoneyCommands.h"
#endif
#ifdef TERVALIS_ACCOUNTS
#include "views/AccountSchemeCommands.h"
#endif

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

    tv::Model model;
    model.InitialiseForProgramStart();
    // Rule-based expectations are served by the in-process rule server.
    tv::RuleBaseLink rules([] { return std::make_unique<tv::LeastSquaresRuleServer>(); });
    model.Rules = &rules;
    tv::MainWindowOptions options;
    options.commandLineFile = tv::CommandLineFileName(argc, argv);
    tv::MainWindow main(model, options);
    // Each subsystem built into the program binds its own menu entries.
    tv::InstallExportBookingCommands(main);
#ifdef TERVALIS_INPUT
    tv::InstallInputCommands(main);
#endif
#ifdef TERVALIS_VIEWS
    tv::InstallViewCommands(main);
#endif
#ifdef TERVALIS_MONEY
    tv::InstallMoneyCommands(main);
#endif
#ifdef TERVALIS_ACCOUNTS
    tv::InstallAccountSchemeCommands(main);
#endif
    QObject::connect(&main, &tv::MainWindow::startupFinished, info.get(),
                     [&info] { QTimer::singleShot(800, info.get(), [&info] { info->close(); }); });
    main.show();
    info->raise();
    return app.exec();
}
