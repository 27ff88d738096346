// Prediction tasks in the program: opened from the menu, worked by keys only, refused when
// bad, and written from the changes since the baseline.

#include "windows/TaskWindow.h"
#include "TestMainWindow.h"
#include "app/MainWindow.h"
#include "core/Baseline.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "core/Task.h"
#include "services/QtUserHost.h"
#include "windows/ExplanationWindow.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QWindow>
#include <QtTest>

#include <memory>

namespace tv {

class TaskWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void init();

    void aWholeTaskByKeys();
    void aBadTaskChangesNothing();
    void createdTaskHoldsTheChangesSinceTheBaseline();

  private:
    TaskWindow* OpenTask(const QString& file);
    void Reactivate();
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1);

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Model> m_;
    std::unique_ptr<MainWindow> w_;
    QStringList told_;
    QString fileName_;
};

void TaskWindowTest::init() {
    CreateTestMainWindow(dir_, m_, w_);
    told_.clear();
    w_->userHost().scriptAsk = [](const QString&, const QString&) { return true; };
    w_->userHost().scriptMessage = [this](const QString& t, const QString& text) {
        told_ << t + QStringLiteral(": ") + text;
    };
    w_->fileNameProvider = [this](bool, const QString&, const QString&, const QString&) {
        return fileName_;
    };
    QSignalSpy done(w_.get(), &MainWindow::startupFinished);
    w_->resize(1000, 700);
    w_->show();
    QVERIFY(done.wait(10000));
    w_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
}

TaskWindow* TaskWindowTest::OpenTask(const QString& file) {
    fileName_ = file;
    w_->Action(QStringLiteral("MIDateiAufgabeOeffnen"))->trigger();
    return w_->findChild<TaskWindow*>();
}

// The solution's progress window takes the activation; a window manager gives it back.
void TaskWindowTest::Reactivate() {
    w_->windowHandle()->requestActivate();
    QTRY_VERIFY(QGuiApplication::focusWindow() == w_->windowHandle());
}

void TaskWindowTest::Key(int key, Qt::KeyboardModifiers modifiers, int times) {
    for (int k = 0; k < times; ++k)
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
}

void TaskWindowTest::aWholeTaskByKeys() {
    TaskWindow* task =
        OpenTask(QStringLiteral(TERVALIS_SOURCE_DIR "/examples/tasks/01-keynesian-cross.tvtask"));
    QVERIFY(task);
    QVERIFY(w_->baseline());
    QCOMPARE(m_->ModelPar(5, par::GAut), 100.0); // the task's change waits for "Solve"
    Reactivate();
    QVERIFY(task->Choices.front().front()->hasFocus());

    // Y, C and i in the short and the long run; the interest rate sits at its floor. Tab
    // goes from question to question, the arrows go within one.
    Key(Qt::Key_Space);        // Y short: rises
    Key(Qt::Key_Tab);          // Y long
    Key(Qt::Key_Space);        // rises,
    Key(Qt::Key_Right);        // on second thought falls
    Key(Qt::Key_Tab);          // C short
    Key(Qt::Key_Space);        // rises
    Key(Qt::Key_Tab);          // C long
    Key(Qt::Key_Space);        // rises
    Key(Qt::Key_Tab);          // i short
    Key(Qt::Key_Right, {}, 2); // to the third button
    Key(Qt::Key_Space);        // stays; i long is left unanswered
    Key(Qt::Key_Tab, {}, 2);   // past i long to "Lösen"
    QCOMPARE(QApplication::focusWidget(), task->SolveButton);
    Key(Qt::Key_Space);
    QVERIFY(task->ShowingResults());
    QCOMPARE(task->Prediction(1), std::optional(Direction::Falls));
    QCOMPARE(task->RightCount(), 4);
    QCOMPARE(m_->ModelPar(5, par::GAut), 110.0);

    // "Why?" of Y in the short run: the explanation of period 6 against the baseline.
    Reactivate();
    QVERIFY(task->WhyButtons.front()->hasFocus());
    Key(Qt::Key_Space);
    auto* why = w_->findChild<ExplanationWindow*>();
    QVERIFY(why);
    QCOMPARE(why->Variable(), var::Y);
    QCOMPARE(why->Period(), 6);
    QCOMPARE(why->ComparedPeriod(), -1);

    w_->SetLanguage(2);
    QCOMPARE(task->windowTitle(), QStringLiteral("Task: More government purchases"));
    QCOMPARE(task->RightCount(), 4);
}

void TaskWindowTest::aBadTaskChangesNothing() {
    // Read, then checked against the model it would run on: a change outside the interval.
    const QString file = dir_->filePath(QStringLiteral("bad.tvtask"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(
        "[Task]\nTitle=T\nText=X\nChange1=G,aut;500;110\nPredict=Y\nShortRun=6\nLongRun=20\n");
    out.close();
    QVERIFY(!OpenTask(file));
    QCOMPARE(told_.size(), 1);
    QVERIFY2(told_.front().contains(QString::fromUtf8("Zeile 4: Die Periode 500 liegt außerhalb")),
             qPrintable(told_.front()));
    QVERIFY(!w_->baseline());
    QCOMPARE(m_->ModelPar(5, par::GAut), DefaultPar(5, par::GAut));
}

void TaskWindowTest::createdTaskHoldsTheChangesSinceTheBaseline() {
    w_->Action(QStringLiteral("MILoesungBasisEinfrieren"))->trigger();
    QVERIFY(w_->baseline());
    for (int t = 7; t <= m_->Periods.RightEdge; ++t)
        m_->SetModelPar(t, par::GAut, m_->ModelPar(t, par::GAut) + 5);
    MarkUnsolvedFrom(*m_, 6);
    w_->ModelChanged();

    fileName_ = dir_->filePath(QStringLiteral("more"));
    w_->Action(QStringLiteral("MILoesungAufgabeErstellen"))->trigger();
    QVERIFY2(told_.isEmpty(), qPrintable(told_.join('\n')));
    QFile in(dir_->filePath(QStringLiteral("more.tvtask")));
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(in.readAll());
    QVERIFY(!ReadTask(text.toStdString()).error);
    const double more = w_->baseline()->Par(7, par::GAut) + 5;
    for (const QString& line : {QStringLiteral("Change1=G,aut;7;%1").arg(more),
                                QStringLiteral("Predict=Y;i;P"), QStringLiteral("ShortRun=8")})
        QVERIFY2(text.contains(line + QLatin1Char('\n')), qPrintable(text));
    QVERIFY(QFile::exists(dir_->filePath(QStringLiteral("more.TV5")))); // the baseline's model
}

} // namespace tv

QTEST_MAIN(tv::TaskWindowTest)
#include "TaskWindowTest.moc"
