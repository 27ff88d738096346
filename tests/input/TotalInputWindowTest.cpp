// The total input window and the copy and reset dialogs (offscreen).

#include "input/TotalInputWindow.h"
#include "RecordingHost.h"
#include "TestMainWindow.h"
#include "TestModels.h"
#include "app/MainWindow.h"
#include "core/Model.h"
#include "core/Symbols.h"
#include "input/RangeDialogs.h"
#include "input/TotalInputCommands.h"
#include "logic/ModelFile.h"
#include "services/QtUserHost.h"
#include "services/WindowFrame.h"
#include "windows/WindowMessages.h"

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <vector>

using namespace tv;

namespace {

class TestFrame : public WindowFrame {
  public:
    TestFrame() {
        m = test::StartModel();
        m.Periods.RightEdge = 30;
        m.Periods.CurrentPeriod = 4;
        m.Periods.LastSolved = 30;
        area.resize(1000, 600);
        area.show();
    }
    Model& model() override { return m; }
    UserHost& host() override { return recorder; }
    QMdiArea* mdiArea() override { return &area; }
    QRect baseArea() const override { return QRect(0, 0, area.width(), area.height()); }
    QPrinter& printer() override { return printer_; }
    QFont printerFont() const override { return QFont(QStringLiteral("DejaVu Sans"), 10); }
    QFont screenFont() const override { return QFont(QStringLiteral("DejaVu Sans"), 9); }
    QString modelBaseName() const override { return QStringLiteral("NEU"); }
    int assignedPeriod(int) const override { return m.Periods.CurrentPeriod; }

    Model m;
    test::RecordingHost recorder;
    QMdiArea area;
    QPrinter printer_{QPrinter::HighResolution};
};

struct Opened {
    TestFrame frame;
    TotalInputWindow* w = nullptr;
    int afterInput = 0;

    Opened() {
        w = WorkingWindow::Create<TotalInputWindow>(frame);
        w->afterInput = [this] { ++afterInput; };
        frame.area.addSubWindow(w);
        w->show();
        w->SelectTabs(6, 0);
    }
    int Column(int param) const {
        const auto& c = w->Sheet().Columns();
        for (size_t i = 0; i < c.size(); ++i)
            if (c[i] == param) return static_cast<int>(i);
        return -1;
    }
    int Row(int period) const { return period - w->Sheet().FirstPeriod(); }
    QModelIndex Index(int period, int param) const {
        return w->TableModel->index(Row(period), Column(param));
    }
    void Select(int period0, int period1, int param0, int param1) {
        const QItemSelection s(Index(period0, param0), Index(period1, param1));
        w->Grid->selectionModel()->select(s, QItemSelectionModel::ClearAndSelect);
        w->Grid->selectionModel()->setCurrentIndex(Index(period0, param0),
                                                   QItemSelectionModel::NoUpdate);
    }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(w->Grid, static_cast<Qt::Key>(key), mods);
    }
};

std::vector<double> Params(const Model& m) {
    std::vector<double> all;
    for (int t = -1; t <= m.Periods.RightEdge; ++t)
        for (int n = 1; n <= ParCount; ++n)
            all.push_back(m.ModelPar(t, n));
    return all;
}

// Saves the model and reads it into a fresh one.
Model SavedAndRead(Model& m, const QString& dir) {
    test::RecordingHost host;
    const std::string file = (dir + QStringLiteral("/total.TV5")).toStdString();
    ModelFile(m, host, dir.toStdString()).WriteModelFile(file);
    Model back = test::StartModel();
    back.Periods.RightEdge = m.Periods.RightEdge;
    ModelFile reader(back, host, dir.toStdString());
    if (!reader.ReadModelFile(file)) qWarning("model file not read");
    return back;
}

void Screenshot(QWidget* w, const QString& name) {
    const QString dir = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    w->grab().save(dir + QLatin1Char('/') + name);
}

} // namespace

class TotalInputWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void showsEveryActiveParameterOverTheInterval();
    void typedEntryIsWrittenExactlyOnAccept();
    void refusedEntryKeepsTheCell();
    void copyAndPasteGoIntoTheCellsPastedOn();
    void clearingAsksAndWritesStartValues_data();
    void clearingAsksAndWritesStartValues();
    void changesWithPendingEditsAsk_data();
    void changesWithPendingEditsAsk();
    void closingLeftUnansweredKeepsEditing();
    void untickingEveryParameterHidesTheGrid();
    void copyDialogWritesRangeAndFile();
    void copyDialogRefusalKeepsItOpen();
    void resetDialogWritesStartValuesAndFile();
    void periodFieldsTakeEveryDigitAndClampWhenLeft();
    void rangeDialogsShowWholeNamesAndTheirMoveButtons();
    void moneyGrowthNameFollowsMoneyCreation();
    void repeatPasteReachesOnePastTheRightEdge();
    void printsTheChosenPeriodsOnPages();
    void mainWindowBindsTheCommandsAndSettlesEditsAtExit();
    void screenshots();
};

void TotalInputWindowTest::showsEveryActiveParameterOverTheInterval() {
    Opened o;
    Model& m = o.frame.m;
    m.UpdateActiveParams();
    int active = 0;
    for (int n = 1; n <= ParCount; ++n)
        active += m.ActiveParams[n];
    QCOMPARE(o.w->TableModel->columnCount(), active);
    QCOMPARE(o.w->TableModel->rowCount(), 31);
    QCOMPARE(o.w->TableModel->headerData(4, Qt::Vertical, Qt::DisplayRole).toString(),
             QStringLiteral("4"));
    QVERIFY(o.w->Grid->currentIndex().row() == 4);
    QVERIFY(!o.w->AcceptButton->isEnabled());
    QVERIFY(!o.w->PageTabs->isVisible());
    o.w->SelectTabs(2, 4); // goods supply, wages
    QVERIFY(o.w->PageTabs->isVisible());
    for (int n : o.w->Sheet().Columns())
        QVERIFY(n >= 32 && n <= 37);
}

void TotalInputWindowTest::typedEntryIsWrittenExactlyOnAccept() {
    Opened o;
    Model& m = o.frame.m;
    const double odd = 0.1 + 0.2 + 0.33; // 15 digits cannot hold it
    m.SetModelPar(9, par::cY, odd);
    const auto before = Params(m);
    o.w->Grid->setCurrentIndex(o.Index(6, par::GAut));
    o.w->Grid->edit(o.Index(6, par::GAut));
    auto* editor = o.w->Grid->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("123,25"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(o.w->AcceptButton->isEnabled());
    QCOMPARE(m.ModelPar(6, par::GAut), before[7 * ParCount + par::GAut - 1]); // not yet
    QTest::mouseClick(o.w->AcceptButton, Qt::LeftButton);
    QCOMPARE(m.ModelPar(6, par::GAut), 123.25);
    QCOMPARE(m.ModelPar(9, par::cY), odd);
    const auto after = Params(m);
    int differing = 0;
    for (size_t i = 0; i < before.size(); ++i)
        differing += before[i] != after[i];
    QCOMPARE(differing, 1);
    QCOMPARE(m.Periods.LastSolved, 5);
    QCOMPARE(o.afterInput, 1);
    QVERIFY(!o.w->AcceptButton->isEnabled());
    QCOMPARE(LastInputSector(), 6);
}

void TotalInputWindowTest::refusedEntryKeepsTheCell() {
    Opened o;
    const QModelIndex cell = o.Index(3, par::cY);
    const QString old = cell.data().toString();
    QVERIFY(!o.w->TableModel->setData(cell, QStringLiteral("1.5"), Qt::EditRole));
    QCOMPARE(cell.data().toString(), old);
    QVERIFY(!o.w->AcceptButton->isEnabled());
    QCOMPARE(o.frame.recorder.sounds.back(), std::string("SoNicht.wav"));
}

void TotalInputWindowTest::copyAndPasteGoIntoTheCellsPastedOn() {
    QTemporaryDir dir;
    Opened o;
    Model& m = o.frame.m;
    m.SetModelPar(2, par::CAut, 77);
    m.SetModelPar(2, par::cY, 0.7);
    QVERIFY(o.Column(par::cY) == o.Column(par::CAut) + 1);
    o.Select(2, 2, par::CAut, par::cY);
    o.Key(Qt::Key_C, Qt::ControlModifier);
    QVERIFY(o.w->PasteAction->isEnabled());
    o.Select(10, 13, par::CAut, par::CAut);
    o.Key(Qt::Key_Insert, Qt::ShiftModifier); // into the four selected rows
    QVERIFY(o.w->AcceptButton->isEnabled());
    o.w->Accept();
    for (int t = 10; t <= 13; ++t) {
        QCOMPARE(m.ModelPar(t, par::CAut), 77.0);
        QCOMPARE(m.ModelPar(t, par::cY), 0.7);
    }
    QVERIFY(m.ModelPar(14, par::CAut) != 77.0);
    QCOMPARE(m.Periods.LastSolved, 9);
    const Model back = SavedAndRead(m, dir.path());
    for (int t = 9; t <= 14; ++t) {
        QCOMPARE(back.ModelPar(t, par::CAut), m.ModelPar(t, par::CAut));
        QCOMPARE(back.ModelPar(t, par::cY), m.ModelPar(t, par::cY));
    }
}

void TotalInputWindowTest::clearingAsksAndWritesStartValues_data() {
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TotalInputWindowTest::clearingAsksAndWritesStartValues() {
    QFETCH(bool, answer);
    Opened o;
    Model& m = o.frame.m;
    test::SetAll(m, {{par::GAut, 250}});
    o.w->Rebuild();
    o.frame.recorder.answers = {answer};
    o.Select(5, 8, par::GAut, par::GAut);
    o.Key(Qt::Key_Delete);
    QCOMPARE(o.frame.recorder.questions.size(), size_t(1));
    QCOMPARE(o.w->AcceptButton->isEnabled(), answer);
    o.w->Accept();
    for (int t = 4; t <= 9; ++t) {
        const bool cleared = answer && t >= 5 && t <= 8;
        QCOMPARE(m.ModelPar(t, par::GAut), cleared ? DefaultPar(t, par::GAut) : 250.0);
    }
}

void TotalInputWindowTest::changesWithPendingEditsAsk_data() {
    QTest::addColumn<int>("message");
    QTest::addColumn<bool>("answer");
    QTest::newRow("model changed, take over") << int(MSG_MODEL_CHANGED) << true;
    QTest::newRow("model changed, drop") << int(MSG_MODEL_CHANGED) << false;
    QTest::newRow("edges moved, take over") << int(MSG_PERIOD_MOVED) << true;
    QTest::newRow("edges moved, drop") << int(MSG_PERIOD_MOVED) << false;
    QTest::newRow("window closed, take over") << 0 << true;
    QTest::newRow("window closed, drop") << 0 << false;
}

void TotalInputWindowTest::changesWithPendingEditsAsk() {
    QFETCH(int, message);
    QFETCH(bool, answer);
    Opened o;
    Model& m = o.frame.m;
    const double old = m.ModelPar(7, par::GAut);
    QVERIFY(o.w->TableModel->setData(o.Index(7, par::GAut), QStringLiteral("345"), Qt::EditRole));
    o.frame.recorder.answers = {answer};
    if (message == MSG_PERIOD_MOVED) m.Periods.RightEdge = 25;
    if (message)
        o.w->Message(message, 1, 1);
    else
        o.w->close();
    QCOMPARE(o.frame.recorder.questions.size(), size_t(1));
    QVERIFY(o.frame.recorder.questions[0].find("Neue Eingaben") != std::string::npos);
    QTRY_COMPARE(o.afterInput, answer ? 1 : 0);
    QCOMPARE(m.ModelPar(7, par::GAut), answer ? 345.0 : old);
    if (message) QVERIFY(!o.w->Sheet().HasEdits());
    if (message == MSG_PERIOD_MOVED) QCOMPARE(o.w->TableModel->rowCount(), 26);
}

void TotalInputWindowTest::closingLeftUnansweredKeepsEditing() {
    Opened o;
    QVERIFY(o.w->TableModel->setData(o.Index(7, par::GAut), QStringLiteral("345"), Qt::EditRole));
    o.w->askOrCancel = [](const std::string&, const std::string&) { return std::optional<bool>(); };
    QVERIFY(!o.w->close() && o.w->isVisible() && o.w->Sheet().HasEdits());
}

void TotalInputWindowTest::untickingEveryParameterHidesTheGrid() {
    Opened o;
    o.w->DetailsBox->setChecked(true);
    QVERIFY(o.w->DetailsPanel->isVisible());
    QCOMPARE(o.w->DetailList->count(), o.w->TableModel->columnCount());
    o.w->DetailList->item(0)->setCheckState(Qt::Unchecked);
    QCOMPARE(o.w->TableModel->columnCount(), o.w->DetailList->count() - 1);
    QTest::mouseClick(o.w->DetailsNone, Qt::LeftButton);
    QCOMPARE(o.w->TableModel->columnCount(), 0);
    QVERIFY(!o.w->Grid->isVisible());
    QTest::mouseClick(o.w->DetailsAll, Qt::LeftButton);
    QCOMPARE(o.w->TableModel->columnCount(), o.w->DetailList->count());
    QVERIFY(o.w->Grid->isVisible());
}

void TotalInputWindowTest::copyDialogWritesRangeAndFile() {
    QTemporaryDir dir;
    TestFrame f;
    Model& m = f.m;
    m.SetModelPar(3, par::GAut, 404);
    ParameterRangeDialog d(m, f.recorder, ParameterRangeDialog::Copy);
    d.Choose({par::GAut});
    QCOMPARE(d.TargetList->count(), 1);
    d.SourcePeriod->setValue(3);
    d.FromPeriod->setValue(12); // backwards: 8..12
    d.ToPeriod->setValue(8);
    d.Confirm();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    const Model back = SavedAndRead(m, dir.path());
    for (int t = 0; t <= 30; ++t) {
        const bool copied = t == 3 || (t >= 8 && t <= 12);
        QCOMPARE(m.ModelPar(t, par::GAut) == 404, copied);
        QCOMPARE(back.ModelPar(t, par::GAut), m.ModelPar(t, par::GAut));
    }
    QCOMPARE(m.Periods.LastSolved, 7);
}

void TotalInputWindowTest::periodFieldsTakeEveryDigitAndClampWhenLeft() {
    // The interval is 0..30: digits are taken as typed and clamped when the field is left.
    struct Case {
        const char* typed;
        int value;
    };
    const Case cases[] = {{"500", 30}, {"150", 30}, {"12", 12}, {"0", 0},
                          {"-7", 0},   {"+9", 9},   {"x2y", 2}};
    TestFrame f;
    ParameterRangeDialog d(f.m, f.recorder, ParameterRangeDialog::Copy);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    for (QSpinBox* box : {d.SourcePeriod, d.FromPeriod, d.ToPeriod}) {
        for (const Case& c : cases) {
            box->setFocus();
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(box, QString::fromLatin1(c.typed));
            const QString what = box->objectName() + QStringLiteral(" ") + c.typed;
            // Nothing typed as a digit is cut off while typing.
            bool digits = false;
            QString::fromLatin1(c.typed).toUInt(&digits);
            if (digits && c.typed[0] != '+')
                QVERIFY2(box->text() == QString::fromLatin1(c.typed), qPrintable(what));
            QTest::keyClick(box, Qt::Key_Tab);
            QVERIFY2(box->value() == c.value, qPrintable(what));
            QVERIFY2(box->text() == QString::number(c.value), qPrintable(what));
        }
    }
    // Confirming with the number still in the field clamps it as leaving would.
    d.Choose({par::GAut});
    d.SourcePeriod->setValue(3);
    d.FromPeriod->setValue(5);
    d.ToPeriod->setFocus();
    QTest::keyClick(d.ToPeriod, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(d.ToPeriod, QStringLiteral("99"));
    f.m.SetModelPar(3, par::GAut, 404);
    d.Confirm();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(f.m.ModelPar(30, par::GAut), 404.0);
}

void TotalInputWindowTest::rangeDialogsShowWholeNamesAndTheirMoveButtons() {
    for (int language : {1, 2})
        for (auto mode : {ParameterRangeDialog::Copy, ParameterRangeDialog::Reset}) {
            TestFrame f;
            f.m.Language = static_cast<uint8_t>(language);
            ParameterRangeDialog d(f.m, f.recorder, mode);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            d.Include(true);
            QApplication::processEvents();
            // Every name fits: no horizontal scroll bar in either list.
            for (QListWidget* l : {d.SourceList, d.TargetList})
                QCOMPARE(l->horizontalScrollBar()->maximum(), 0);
            d.Exclude(true);
            QApplication::processEvents();
            QCOMPARE(d.SourceList->horizontalScrollBar()->maximum(), 0);
            // The move buttons stay visible wherever the focus is.
            for (QWidget* focus :
                 {static_cast<QWidget*>(d.SourceList), static_cast<QWidget*>(d.TargetList),
                  static_cast<QWidget*>(d.FromPeriod)}) {
                focus->setFocus();
                QApplication::processEvents();
                for (QPushButton* b :
                     {d.IncludeButton, d.IncludeAllButton, d.ExcludeButton, d.ExcludeAllButton})
                    QVERIFY(b->isVisible());
            }
        }
}

void TotalInputWindowTest::moneyGrowthNameFollowsMoneyCreation() {
    for (int creation : {0, 1}) {
        Opened o;
        Model& m = o.frame.m;
        m.Switch[18] = static_cast<uint8_t>(creation);
        m.Switch[20] = 1; // growth rates of the money supply
        o.w->SelectTabs(6, 0);
        const QString expected =
            QString::fromStdString(Translate(ParamName(par::gMNAut, creation == 1), m.Language));
        const QString symbol = creation ? QStringLiteral("gMBN,aut") : QStringLiteral("gMN,aut");
        const int column = o.Column(par::gMNAut);
        QVERIFY(column >= 0);
        QVERIFY(o.w->TableModel->headerData(column, Qt::Horizontal, Qt::DisplayRole)
                    .toString()
                    .contains(symbol));
        QCOMPARE(o.w->TableModel->headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString(),
                 expected);
        bool listed = false;
        for (int i = 0; i < o.w->DetailList->count(); ++i)
            listed = listed || o.w->DetailList->item(i)->text() == expected;
        QVERIFY(listed);
        for (auto mode : {ParameterRangeDialog::Copy, ParameterRangeDialog::Reset}) {
            ParameterRangeDialog d(m, o.frame.recorder, mode);
            QCOMPARE(d.SourceList->findItems(expected, Qt::MatchExactly).size(), 1);
        }
    }
}

void TotalInputWindowTest::repeatPasteReachesOnePastTheRightEdge() {
    Opened o; // interval 0..30
    o.Select(4, 4, par::GAut, par::GAut);
    o.w->CopyAction->trigger();
    o.Select(28, 28, par::GAut, par::GAut);
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<RepeatPasteDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        QCOMPARE(d->Further->maximum(), 30 - 28 + 1);
        d->Further->setValue(d->Further->maximum());
        d->accept();
    });
    o.frame.recorder.messages.clear();
    o.w->PasteRepeatAction->trigger();
    QCOMPARE(o.frame.recorder.messages.size(), size_t(1));
    QVERIFY(QString::fromStdString(o.frame.recorder.messages[0]).contains("rechten Analyserandes"));
    // The accept and restore hints carry their short part on a line of its own.
    QVERIFY(o.w->AcceptButton->toolTip().startsWith(QStringLiteral("Eingaben übernehmen\n")));
    QVERIFY(
        o.w->RestoreButton->toolTip().startsWith(QStringLiteral("Eingaben rückgängig machen\n")));
}

void TotalInputWindowTest::copyDialogRefusalKeepsItOpen() {
    TestFrame f;
    Model& m = f.m;
    m.Switch[18] = 0; // autonomous money supply changes, no money creation
    m.Switch[19] = 1;
    m.Switch[20] = 0;
    m.SetModelPar(0, par::dMHNAut, 500);
    m.SetModelPar(0, par::dMBHNAut, 500);
    const auto before = Params(m);
    ParameterRangeDialog d(m, f.recorder, ParameterRangeDialog::Copy);
    d.show();
    d.Choose({par::dMHNAut, par::dMBHNAut});
    QCOMPARE(d.TargetList->count(), 1);
    d.SourcePeriod->setValue(0);
    d.FromPeriod->setValue(1);
    d.ToPeriod->setValue(5);
    d.Confirm();
    QVERIFY(d.isVisible());
    QCOMPARE(Params(m), before);
    QCOMPARE(f.recorder.messages.size(), size_t(1));
    QVERIFY(f.recorder.messages[0].rfind("So nicht!", 0) == 0);
}

void TotalInputWindowTest::resetDialogWritesStartValuesAndFile() {
    QTemporaryDir dir;
    TestFrame f;
    Model& m = f.m;
    test::SetAll(m, {{par::GAut, 250}, {par::IAut, 90}});
    ParameterRangeDialog d(m, f.recorder, ParameterRangeDialog::Reset);
    QVERIFY(d.SourcePeriod == nullptr);
    d.Choose({par::IAut, par::GAut});
    d.Exclude(false); // the selection moved on: nothing selected there, nothing moves back
    d.TargetList->item(1)->setSelected(true);
    d.Exclude(false); // G,aut stays out
    QCOMPARE(d.Chosen(), std::vector<int>{par::IAut});
    d.FromPeriod->setValue(20);
    d.ToPeriod->setValue(30);
    d.Confirm();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    const Model back = SavedAndRead(m, dir.path());
    for (int t = 0; t <= 30; ++t) {
        QCOMPARE(back.ModelPar(t, par::IAut), t >= 20 ? DefaultPar(t, par::IAut) : 90.0);
        QCOMPARE(back.ModelPar(t, par::GAut), 250.0);
    }
}

void TotalInputWindowTest::printsTheChosenPeriodsOnPages() {
    QTemporaryDir dir;
    Opened o;
    const QString pdf = dir.path() + QStringLiteral("/total.pdf");
    o.frame.printer_.setOutputFormat(QPrinter::PdfFormat);
    o.frame.printer_.setOutputFileName(pdf);
    o.Select(3, 9, o.w->Sheet().Columns().front(), o.w->Sheet().Columns().front());
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(d);
        auto boxes = d->findChildren<QSpinBox*>();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes[0]->value(), 3); // the selected rows
        QCOMPARE(boxes[1]->value(), 9);
        d->accept();
    });
    o.w->Message(MSG_PRINT, 1, 1);
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const int pages = int(bytes.count("/Type /Page")) - int(bytes.count("/Type /Pages"));
    QVERIFY2(pages >= 2, "every column block has its page");
    // The grid shows the whole interval again.
    QCOMPARE(o.w->TableModel->rowCount(), 31);
    const QImage picture = o.w->RenderPicture(800, 500);
    QVERIFY(!picture.isNull());
    const QString shots = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
    if (!shots.isEmpty()) picture.save(shots + QStringLiteral("/total-picture.png"));
    if (!shots.isEmpty()) QFile::copy(pdf, shots + QStringLiteral("/total-print.pdf"));
}

void TotalInputWindowTest::mainWindowBindsTheCommandsAndSettlesEditsAtExit() {
    QTemporaryDir dir;
    Model m;
    m.InitialiseForProgramStart();
    MainWindow w(m, TestProgramOptions(dir.path()));
    InstallTotalInputCommands(w);
    QStringList asked;
    // Take the grid's edits over, then stay in the program.
    w.userHost().scriptAsk = [&asked](const QString&, const QString& text) {
        asked << text;
        return text.contains(QStringLiteral("Neue Eingaben"));
    };
    w.userHost().scriptMessage = [](const QString&, const QString&) {};
    QSignalSpy done(&w, &MainWindow::startupFinished);
    w.show();
    QVERIFY(done.wait(10000));
    for (const char* name : {"MIModellbauTotal", "MIBearbeitenKopieren", "MIBearbeitenLoeschen"})
        QVERIFY2(w.Action(QString::fromLatin1(name))->isEnabled(), name);
    QCOMPARE(w.Action(QStringLiteral("MIModellbauTotal"))->shortcut(),
             QKeySequence(Qt::CTRL | Qt::Key_T));
    w.Action(QStringLiteral("MIModellbauTotal"))->trigger();
    auto* total = qobject_cast<TotalInputWindow*>(w.FindChild(TotalInputCaption));
    QVERIFY(total);
    w.Action(QStringLiteral("MIModellbauTotal"))->trigger(); // brought forward, not doubled
    QCOMPARE(total, qobject_cast<TotalInputWindow*>(w.FindChild(TotalInputCaption)));
    total->SelectTabs(1, 3); // government
    const auto& columns = total->Sheet().Columns();
    const int column = int(std::find(columns.begin(), columns.end(), par::GAut) - columns.begin());
    QVERIFY(column < int(columns.size()));
    QVERIFY(total->TableModel->setData(total->TableModel->index(50, column), QStringLiteral("275"),
                                       Qt::EditRole));
    w.close();
    QVERIFY(w.isVisible());
    QCOMPARE(asked.size(), 2);
    QVERIFY(asked[0].contains(QStringLiteral("Neue Eingaben")));
    QCOMPARE(m.ModelPar(50, par::GAut), 275.0);
    QCOMPARE(m.Periods.LastSolved, m.Periods.RightEdge); // solved by the after-input step
    QVERIFY(w.modelFile().ModelModified);
}

void TotalInputWindowTest::screenshots() {
    for (int language : {1, 2}) {
        Opened o;
        o.frame.m = test::BondMarketModel();
        o.frame.m.Periods.RightEdge = 5000;
        o.frame.m.Periods.CurrentPeriod = 4;
        o.frame.m.Language = static_cast<uint8_t>(language);
        o.frame.area.resize(1100, 640);
        o.w->RefreshLanguage();
        o.w->SelectTabs(6, 0);
        o.w->resize(1000, 560);
        QVERIFY(o.w->TableModel->columnCount() > 0);
        const QString lang = language == 1 ? QStringLiteral("de") : QStringLiteral("en");
        Screenshot(o.w, QStringLiteral("total-all-%1.png").arg(lang));
        o.w->DetailsBox->setChecked(true);
        o.w->SelectTabs(2, 4);
        Screenshot(o.w, QStringLiteral("total-wages-details-%1.png").arg(lang));
        o.w->DetailsBox->setChecked(false);
        o.w->SelectTabs(6, 0);
        o.w->showMaximized();
        Screenshot(&o.frame.area, QStringLiteral("total-all-maximised-%1.png").arg(lang));
        ParameterRangeDialog copy(o.frame.m, o.frame.recorder, ParameterRangeDialog::Copy);
        copy.Choose({par::GAut, par::CAut});
        copy.show();
        Screenshot(&copy, QStringLiteral("copy-dialog-%1.png").arg(lang));
        ParameterRangeDialog reset(o.frame.m, o.frame.recorder, ParameterRangeDialog::Reset);
        reset.show();
        Screenshot(&reset, QStringLiteral("reset-dialog-%1.png").arg(lang));
        RepeatPasteDialog repeat(4, 26, language);
        repeat.show();
        Screenshot(&repeat, QStringLiteral("repeat-paste-%1.png").arg(lang));
    }
}

QTEST_MAIN(TotalInputWindowTest)
#include "TotalInputWindowTest.moc"
