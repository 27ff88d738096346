#include "input/InputCommands.h"

#include "TestMainWindow.h"
#include "app/MainWindow.h"
#include "core/Model.h"
#include "core/Symbols.h"
#include "input/InputDialog.h"
#include "services/QtUserHost.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace tv;

// The sector commands of the main window open their dialogs, and the model-changed step
// follows an accepted dialog only.
class InputCommandsTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        CreateTestMainWindow(dir_, m_, w_);
        InstallInputCommands(*w_);
        w_->userHost().scriptAsk = [](const QString&, const QString&) { return true; };
        w_->userHost().scriptMessage = [](const QString&, const QString&) {};
        QSignalSpy done(w_.get(), &MainWindow::startupFinished);
        w_->show();
        QVERIFY(done.wait(10000));
    }
    void cleanup() {
        w_.reset();
        m_.reset();
    }

    void entriesAreBound() {
        for (const char* name :
             {"MIModellbauNachfrage", "MIModellbauAngebot", "MIModellbauVerteilung",
              "MIModellbauWertpapiermarkt", "MIModellbauDevisenmarkt"})
            QVERIFY2(w_->Action(QString::fromLatin1(name))->isEnabled(), name);
    }

    void acceptedInputIsSolved() {
        m_->Periods.CurrentPeriod = 20;
        w_->Action(QStringLiteral("MIOptionenDauerhaft"))->setChecked(true);
        const double demandBefore = m_->GetVar(20, var::G);
        Run(QStringLiteral("MIModellbauNachfrage"), [](InputDialog& d) {
            d.Tabs->setCurrentIndex(2); // government
            QVERIFY(d.EnterText(1, QStringLiteral("250")));
            d.AllOk->click();
        });
        QCOMPARE(m_->ModelPar(20, par::GAut), 250.0);
        QCOMPARE(m_->ModelPar(100, par::GAut), 250.0);
        QVERIFY(m_->ModelPar(19, par::GAut) != 250.0);
        QCOMPARE(m_->Periods.LastSolved, m_->Periods.RightEdge);
        QVERIFY(m_->GetVar(20, var::G) != demandBefore);
        QCOMPARE(w_->StatusText(), QStringLiteral("Ok"));
        QVERIFY(w_->modelFile().ModelModified);
    }

    void cancelledInputChangesNothing() {
        Run(QStringLiteral("MIModellbauAngebot"), [this](InputDialog& d) {
            m_->Switch[6] = 1; // as an option would
            QVERIFY(d.EnterText(1, QStringLiteral("3")));
            d.CancelButton->click();
        });
        QCOMPARE(m_->Sw(6), uint8_t(0));
        QVERIFY(!w_->modelFile().ModelModified);
    }

  private:
    void Run(const QString& action, std::function<void(InputDialog&)> drive) {
        bool driven = false;
        QTimer::singleShot(0, this, [&] {
            auto* d = qobject_cast<InputDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            driven = true;
            drive(*d);
            if (d->isVisible()) d->reject();
        });
        w_->Action(action)->trigger();
        QVERIFY(driven);
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Model> m_;
    std::unique_ptr<MainWindow> w_;
};

QTEST_MAIN(InputCommandsTest)
#include "InputCommandsTest.moc"
