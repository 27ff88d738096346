#include "app/MainLogic.h"
#include "app/MainWindow.h"
#include "app/MainWindowShared.h"
#include "app/StartInfo.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "services/HelpSystem.h"
#include "services/PeriodNavigator.h"
#include "services/QtUserHost.h"
#include "windows/WorkingWindow.h"
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace tv {

// ---------------------------------------------------------------- layout

void MainWindow::ApplyBarVisibility() {
    FunctionBar->setVisible(Action(QStringLiteral("MIOptionenFunktionsleiste"))->isChecked());
    QAction* wage = Action(QStringLiteral("MIOptionenTarifleiste"));
    QAction* money = Action(QStringLiteral("MIOptionenGeldleiste"));
    WageBar->setVisible(wage->isEnabled() && wage->isChecked());
    MoneyBar->setVisible(money->isEnabled() && money->isChecked());
    navigator_->SetPolicyMarkVisible(WageBar->isVisibleTo(this) || MoneyBar->isVisibleTo(this));
    // Re-arrange once the layout has taken the new height.
    QTimer::singleShot(0, this, [this] {
        if (startupDone_ && !closing_) ArrangeBase(arrangement_);
    });
}

QRect MainWindow::baseArea() const {
    return QRect(0, 0, mdi_->viewport()->width(), mdi_->viewport()->height());
}

void MainWindow::ArrangeBase(int percent) {
    arrangement_ = percent;
    equalButton_->setChecked(percent == 100);
    equationButton_->setChecked(percent == 150);
    resultButton_->setChecked(percent == 50);
    SendToChildren(MSG_ARRANGE_BASE, percent, 0);
}

int MainWindow::HalfScreenStep(QMdiSubWindow* w) const {
    return w ? w->property("tvHalfScreenStep").toInt() : 0;
}

void MainWindow::onHalfScreen() {
    QMdiSubWindow* w = mdi_->activeSubWindow();
    if (!w) return;
    if (w->isMaximized() || w->isMinimized()) w->showNormal();
    const int step = HalfScreenStep(w);
    const HalfScreenRect r =
        HalfScreen(step, mdi_->viewport()->width(), mdi_->viewport()->height());
    w->setGeometry(r.left, r.top, r.width, r.height);
    w->setProperty("tvHalfScreenStep", (step + 1) % 4);
}

void MainWindow::onZoom() {
    QMdiSubWindow* w = mdi_->activeSubWindow();
    if (!w) return;
    if (w->isMaximized()) {
        w->showMinimized();
        mdi_->activatePreviousSubWindow();
    } else if (w->isMinimized()) {
        w->showNormal();
    } else {
        w->showMaximized();
    }
}

// ---------------------------------------------------------------- small commands

void MainWindow::onCalculator() {
    for (const char* calc : {"gnome-calculator", "kcalc", "galculator", "xcalc"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(calc));
        if (!path.isEmpty() && QProcess::startDetached(path, {})) return;
    }
    host_->PlaySound("SoNicht.wav");
    host_->ShowMessage("So nicht!##Not possible!",
                       "TERVALIS kann den Rechner nicht starten. \r\nÜberprüfen Sie Ihre "
                       "Systeminstallation oder rechnen Sie im Kopf.##TERVALIS cannot start the "
                       "calculator. \r\nCheck your system installation or calculate in your "
                       "head.");
}

void MainWindow::onWebSupport() {
    const std::string url = settings_.Homepage;
    if (url.empty()) {
        host_->PlaySound("SoNicht.wav");
        if (!QFileInfo::exists(Q(settingsFile_->ReadPath())))
            host_->ShowMessage("Achtung!##Attention!",
                               "Es ist keine Adresse der TERVALIS-Webzentrale eingerichtet "
                               "(keine Einstellungsdatei).\r\nInternet-Verbindung kann nicht "
                               "aufgebaut werden.##No address of the TERVALIS web centre is "
                               "configured (there is no settings file).\r\nNo internet "
                               "connection can be made.");
        else
            host_->ShowMessage("Achtung!##Attention!",
                               "Ini-Datei enthält keine URL für die TERVALIS-Webzentrale.\r\n"
                               "Internet-Verbindung kann nicht aufgebaut werden.##The settings "
                               "file holds no address of the TERVALIS web centre.\r\nNo "
                               "internet connection can be made.");
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromUserInput(Q(url)))) {
        host_->PlaySound("SoNicht.wav");
        host_->ShowMessage("Fehler!##Error!",
                           FillIn("Auf ihrem System ist kein WWW-Browser registriert, der mit "
                                  "HTML-Dokumenten verknüpft ist und einwandfrei gestartet werden "
                                  "kann. Sorgen Sie bitte selbst für eine WWW-Verbindung. Die URL "
                                  "der TERVALIS-Webzentrale lautet:\r\n%1##No web browser that "
                                  "opens HTML documents is registered on your system or it "
                                  "cannot be started. Please open a web connection yourself. "
                                  "The address of the TERVALIS web centre is:\r\n%1",
                                  url));
    }
}

void MainWindow::onAbout() {
    host_->PlaySound("Start.wav");
    StartInfoWindow info(this, false, m_.Language);
    info.exec();
}

void MainWindow::ShowHelp(int context) {
    HelpSystem::show(context);
}

void MainWindow::InstallHelp() {
    // Pages beside the program (the build folder) or in the installation's data folder.
    QString folder = ProgramDataFolder(QStringLiteral("help"), options_.programDirectory);
    if (folder.isEmpty()) folder = ProgramDataFolder(QStringLiteral("help"));
    HelpSystem::Install(
        this, folder, [this] { return int(m_.Language); },
        // The example models the help links to open as File > Open would.
        [this](const QString& name) {
            if (solving_ || !MayReplaceModel()) return;
            // Not inside the solve guard: the model-changed step of the load must solve.
            file_->OpenModel(name.toStdString());
            UpdateFilePanel();
        });
}

} // namespace tv
