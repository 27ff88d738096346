#include "input/InputDialog.h"

#include "RecordingHost.h"
#include "TestModels.h"
#include "core/Symbols.h"
#include "windows/EquationSystem.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QtTest>

using namespace tv;

namespace {

// A small goods-demand dialog: the consumption options of the real one, enough to drive
// the framework's option handling.
class DemandDialog : public InputDialog {
  public:
    DemandDialog(Model& m, UserHost& host) : InputDialog(m, host, 1, false) {
        auto* box = new QGroupBox(Tr("Funktionalform##Functional Options"));
        auto* l = new QVBoxLayout(box);
        byIncomeGroup = new QCheckBox(Tr("&verteilungsabhängig##Income &Group Dependent"), box);
        errorCorrection = new QCheckBox(Tr("F&ehlerkorrektur##&Error Correction"), box);
        l->addWidget(byIncomeGroup);
        l->addWidget(errorCorrection);
        connect(byIncomeGroup, &QCheckBox::clicked, this,
                [this](bool on) { SetSwitch(1, on ? 1 : 0); });
        connect(errorCorrection, &QCheckBox::clicked, this,
                [this](bool on) { SetSwitch(2, on ? 1 : 0); });
        SetOptionPage(1, box);
    }
    QCheckBox* byIncomeGroup = nullptr;
    QCheckBox* errorCorrection = nullptr;

  protected:
    void PageShown(int) override {
        if (!byIncomeGroup) return;
        byIncomeGroup->setChecked(m_.Sw(1) == 1);
        errorCorrection->setChecked(m_.Sw(2) == 1);
    }
};

Model At(int current) {
    Model m = test::StartModel();
    m.Periods.CurrentPeriod = current;
    m.Periods.LastSolved = m.Periods.RightEdge;
    return m;
}

std::vector<double> Params(const Model& m) {
    std::vector<double> all;
    for (int t = -1; t <= 101; ++t)
        for (int n = 1; n <= ParCount; ++n)
            all.push_back(m.ModelPar(t, n));
    return all;
}

QString Cell(const InputDialog& d, int row, int column) {
    QTableWidgetItem* item = d.Grid->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

class InputDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { DialogStartPage() = {1, 1, 1, 1, 1, 0}; }

    void opensOnTheRememberedPage() {
        Model m = At(7);
        test::RecordingHost host;
        DialogStartPage()[0] = 3;
        InputDialog d(m, host, 1, true);
        QCOMPARE(d.windowTitle(), QStringLiteral("Modellbaudialog: Güternachfrage"));
        QCOMPARE(d.Tabs->count(), 4);
        QCOMPARE(d.CurrentPage(), 3);
        QCOMPARE(d.FunctionName->text(),
                 QStringLiteral("Staatliche Güternachfrage (Verbrauch und Investitionen):"));
        QCOMPARE(d.Formula->Lines(), QStringList{QStringLiteral("G = G~aut~ + g§T§*T")});
        QCOMPARE(Cell(d, 0, 0), QStringLiteral("t"));
        QCOMPARE(Cell(d, 1, 0), QStringLiteral("7"));
        QCOMPARE(Cell(d, 0, 1), QStringLiteral("G~aut"));
        QCOMPARE(Cell(d, 0, 2), QStringLiteral("g§T§"));
        QCOMPARE(d.Formula->Highlight(), QStringLiteral("G~aut"));
        QVERIFY(d.Permanent->isChecked());
        d.Grid->setCurrentCell(1, 2);
        QCOMPARE(d.Formula->Highlight(), QStringLiteral("g§T§"));
        d.reject();
        QCOMPARE(DialogStartPage()[0], 3);

        DialogStartPage()[1] = 9; // beyond the pages: the first
        m.Language = 2;
        InputDialog s(m, host, 2, false);
        QCOMPARE(s.windowTitle(), QStringLiteral("Modelling Dialog: Supply of Goods"));
        QCOMPARE(s.CurrentPage(), 1);
        QCOMPARE(DialogStartPage()[1], 1);
        QVERIFY(s.ForPeriods->isChecked());
        QCOMPARE(s.PeriodsLabel->text(), QStringLiteral("&Period"));
    }

    void typingEntersAValue() {
        Model m = At(0);
        test::RecordingHost host;
        InputDialog d(m, host, 1, true);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        d.Grid->setFocus();
        d.Grid->setCurrentCell(1, 2);       // c[Y]
        QTest::keyClick(d.Grid, Qt::Key_0); // opens the editor
        QVERIFY(d.Editing());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(",7x5"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::qWait(10);
        QVERIFY(!d.Editing());
        QCOMPARE(d.Session().WorkValue(par::cY), 0.75);
        QCOMPARE(Cell(d, 1, 2), QStringLiteral("0.75"));
        QVERIFY(host.messages.empty());
        // A minus on the grid opens the editor with the sign toggled.
        d.Grid->setCurrentCell(1, 1);
        QTest::keyClick(d.Grid, Qt::Key_Minus);
        QVERIFY(d.Editing());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTest::qWait(10);
        QCOMPARE(Cell(d, 1, 1), QStringLiteral("0"));
        QVERIFY(d.Session().WorkValue(par::CAut) == 0 || host.messages.empty());
        // Enter outside the editor closes with "Seite Ok"; the store has the value.
        QTest::keyClick(d.Grid, Qt::Key_Return);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(d.Closing() == InputClose::Page);
        QCOMPARE(m.ModelPar(0, par::cY), 0.75);
        QCOMPARE(m.ModelPar(100, par::cY), 0.75);
    }

    // Typing over a cell, in the editor (F2) or from the grid, gives what is typed.
    void typedCellNumbersReadAsTyped() {
        for (auto [before, f2, typed, shown] : {std::tuple{"25", true, "-5", "-5"},
                                                {"25", false, "-5", "-5"},
                                                {"0,75", true, ".5", ".5"},
                                                {"0,75", false, ",5", ".5"},
                                                {"2", false, "1e3", "1e3"}}) {
            Model m = At(0);
            test::RecordingHost host;
            InputDialog d(m, host, 1, true);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            QVERIFY(d.EnterText(1, QString::fromLatin1(before)));
            d.Grid->setCurrentCell(1, 1);
            if (f2) QTest::keyClick(d.Grid, Qt::Key_F2);
            QTest::keyClicks(f2 ? static_cast<QWidget*>(d.Editor()) : d.Grid,
                             QString::fromLatin1(typed).left(1));
            QTest::keyClicks(d.Editor(), QString::fromLatin1(typed).mid(1));
            QCOMPARE(d.Editor()->text(), QString::fromLatin1(shown));
            QTest::keyClick(d.Editor(), Qt::Key_Escape);
        }
    }

    void refusedEntriesShowTheMessageAndRestore() {
        Model m = At(4);
        test::RecordingHost host;
        InputDialog d(m, host, 1, true);
        const QString before = Cell(d, 1, 2);
        QVERIFY(!d.EnterText(2, QStringLiteral("1,5")));
        QCOMPARE(Cell(d, 1, 2), before);
        QCOMPARE(host.messages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(host.messages[0]),
                 QStringLiteral("Parameter Check: Unzulässige Eingabe für Konsumquote,marg. (c[Y]) "
                                "in t = 4\r\n\r\nMinimum: 0 <= c[Y]\r\nMaximum: 1 >= c[Y] | "
                                "Bisheriger Wert wird wiederhergestellt."));
        QCOMPARE(host.sounds, std::vector<std::string>{"SoNicht.wav"});
        for (const char* junk : {"-", ",", "1e999", "nan"}) {
            QVERIFY2(!d.EnterText(2, QString::fromLatin1(junk)), junk);
            QCOMPARE(Cell(d, 1, 2), before);
        }
        QVERIFY(d.EnterText(1, QString())); // empty is 0
        QCOMPARE(Cell(d, 1, 1), QStringLiteral("0"));
        d.reject();
        QCOMPARE(m.Periods.LastSolved, 100);
    }

    void pageOkWritesOnlyTheEditedParameterOverTheChosenPeriods() {
        Model m = At(10);
        test::SetFrom(m, 15, {{par::IAut, 300}}); // a path entered before
        std::vector<double> expected = Params(m);
        test::RecordingHost host;
        DialogStartPage()[0] = 2;
        InputDialog d(m, host, 1, false);
        QCOMPARE(d.VisibleColumns(), (std::vector<int>{6, 7, 10, 11}));
        d.PeriodsEdit->setText(QStringLiteral("3"));
        emit d.PeriodsEdit->editingFinished();
        QCOMPARE(d.PeriodsLabel->text(), QStringLiteral("&Perioden"));
        QVERIFY(d.EnterText(2, QStringLiteral("0.125"))); // b[Y]
        d.Tabs->setCurrentIndex(0); // away and back: untouched values stay as they were
        d.Tabs->setCurrentIndex(1);
        QCOMPARE(Cell(d, 1, 2), QStringLiteral("0.125"));
        QTest::mouseClick(d.PageOk, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        for (int t = 10; t <= 12; ++t)
            expected[(t + 1) * ParCount + par::bY - 1] = 0.125;
        QCOMPARE(Params(m), expected);
        QCOMPARE(m.Periods.LastSolved, 9);
        QCOMPARE(DialogStartPage()[0], 2);
    }

    void periodsFieldStopsAtTheRightEdge() {
        Model m = At(98);
        test::RecordingHost host;
        InputDialog d(m, host, 2, false);
        d.show();
        QTest::mouseClick(d.PeriodsEdit, Qt::LeftButton);
        QVERIFY(d.ForPeriods->isChecked());
        d.PeriodsEdit->selectAll();
        QTest::keyClicks(d.PeriodsEdit, QStringLiteral("7"));
        QCOMPARE(d.PeriodsEdit->palette().color(QPalette::Text), QColor(Qt::red));
        QCOMPARE(d.PeriodsLabel->text(), QStringLiteral("&Perioden"));
        QTest::keyClick(d.PeriodsEdit, Qt::Key_Return); // commits, does not close
        QVERIFY(d.isVisible());
        QCOMPARE(d.PeriodsEdit->text(), QStringLiteral("3"));
        QCOMPARE(d.Session().Periods(1), 3);
        QVERIFY(d.PeriodsEdit->palette().color(QPalette::Text) != QColor(Qt::red));
        d.reject();
    }

    // Typed or pasted, anything but digits is refused as a whole: "x-7e9y" is no 79.
    void periodsFieldRefusesWhatIsNoNumber() {
        Model m = At(5);
        test::RecordingHost host;
        InputDialog d(m, host, 2, false);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::mouseClick(d.PeriodsEdit, Qt::LeftButton);
        d.PeriodsEdit->selectAll();
        QTest::keyClicks(d.PeriodsEdit, QStringLiteral("4"));
        for (const char* pasted : {"x-7e9y", "1.5", "-3", "abc"}) {
            QApplication::clipboard()->setText(QString::fromLatin1(pasted));
            d.PeriodsEdit->selectAll();
            QTest::keyClick(d.PeriodsEdit, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(d.PeriodsEdit->text(), QStringLiteral("4"));
        }
        QTest::keyClicks(d.PeriodsEdit, QStringLiteral("a-,"));
        QCOMPARE(d.PeriodsEdit->text(), QStringLiteral("4"));
        QTest::keyClick(d.PeriodsEdit, Qt::Key_Return);
        QCOMPARE(d.Session().Periods(d.CurrentPage()), 4);
        d.reject();
    }

    void cancelRestoresTheSwitches() {
        Model m = At(0);
        test::RecordingHost host;
        DemandDialog d(m, host);
        d.show();
        QCOMPARE(d.VisibleColumns(), (std::vector<int>{1, 2, 5}));
        QTest::mouseClick(d.byIncomeGroup, Qt::LeftButton);
        QCOMPARE(m.Sw(1), uint8_t(1));
        QCOMPARE(d.VisibleColumns(), (std::vector<int>{1, 3, 4, 5}));
        QCOMPARE(d.Formula->Lines()[0],
                 QStringLiteral("C = C~aut~ + c§YL§*YLV + c§YU§*YUV - c§r§*r"));
        QVERIFY(d.EnterText(2, QStringLiteral("0.5")));
        QTest::mouseClick(d.CancelButton, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(m.Sw(1), uint8_t(0));
        QCOMPARE(m.RecalcAll + m.RecalcInterval, 0);
        QVERIFY(m.ModelPar(0, par::cYL) != 0.5);
    }

    void optionChangesSetTheirFlags() {
        {
            Model m = At(5);
            test::RecordingHost host;
            DemandDialog d(m, host);
            d.show();
            QTest::mouseClick(d.errorCorrection, Qt::LeftButton);
            d.Tabs->setCurrentIndex(2); // the option was on another page
            QTest::mouseClick(d.PageOk, Qt::LeftButton);
            QCOMPARE(m.RecalcInterval, uint8_t(1));
            QCOMPARE(m.RecalcAll, uint8_t(0));
            QCOMPARE(m.Periods.LastSolved, 100); // no parameter written
        }
        {
            Model m = At(5);
            test::RecordingHost host;
            DemandDialog d(m, host);
            d.show();
            QTest::mouseClick(d.byIncomeGroup, Qt::LeftButton);
            QTest::mouseClick(d.AllOk, Qt::LeftButton);
            QCOMPARE(m.RecalcAll, uint8_t(1));
            QCOMPARE(m.Sw(1), uint8_t(1));
        }
    }

    void moneyMultiplierIsTestedForEveryTargetPeriod() {
        Model m = At(3);
        m.Switch[18] = 1;
        test::SetFrom(m, 3, {{par::rSE, 0.1}});
        test::SetFrom(m, 9, {{par::rSE, 0}});
        const auto before = Params(m);
        test::RecordingHost host;
        DialogStartPage()[3] = 3;
        InputDialog d(m, host, 4, true);
        const auto& cols = d.VisibleColumns();
        const int bm = int(std::find(cols.begin(), cols.end(), par::bM) - cols.begin()) + 1;
        QVERIFY(d.EnterText(bm, QStringLiteral("0")));
        QTest::mouseClick(d.AllOk, Qt::LeftButton);
        QVERIFY(d.result() != QDialog::Accepted);
        QCOMPARE(host.messages.size(), size_t(1));
        QVERIFY(QString::fromStdString(host.messages[0])
                    .contains(QStringLiteral("r[SE] in t = 9 sind null")));
        QCOMPARE(Params(m), before);
        d.reject();
    }

    void pageWithoutParametersShowsItsNote() {
        Model m = At(0);
        m.Switch[12] = 1;
        test::RecordingHost host;
        DialogStartPage()[1] = 3;
        InputDialog d(m, host, 2, true);
        d.show();
        QVERIFY(d.VisibleColumns().empty());
        QVERIFY(d.Grid->isHidden());
        QVERIFY(d.Validity->isHidden());
        QVERIFY(d.Info->isVisible());
        QVERIFY(d.Info->toPlainText().startsWith(QStringLiteral("Bei gewinnmaximierendem")));
        d.reject();

        DialogStartPage()[4] = 1; // flexible exchange rates: the rate has no parameter
        m.Switch[21] = 1;
        InputDialog fx(m, host, 5, true);
        fx.show();
        QVERIFY(fx.Grid->isHidden());
        QVERIFY(fx.Info->toPlainText().contains(QStringLiteral("Devisenmarktgleichgewichts")));
        fx.reject();
    }

    void ctrlTabWrapsAround() {
        Model m = At(0);
        test::RecordingHost host;
        InputDialog d(m, host, 3, true);
        d.show();
        d.Grid->setFocus();
        QTest::keyClick(d.Grid, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(d.CurrentPage(), 2);
        QTest::keyClick(d.Grid, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(d.Grid, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(d.CurrentPage(), 3);
        d.reject();
    }

    void enterOnAFocusedButtonPressesIt() {
        Model m = At(0);
        test::RecordingHost host;
        InputDialog d(m, host, 1, true);
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QVERIFY(d.EnterText(1, QStringLiteral("5")));
        d.CancelButton->setFocus(Qt::TabFocusReason);
        QTest::keyClick(d.CancelButton, Qt::Key_Return);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QVERIFY(!d.isVisible());
        QCOMPARE(m.Periods.LastSolved, 100);
    }

    void screenshots() {
        // Pictures for a look by eye when TERVALIS_SCREENSHOTS names a folder.
        const QString out = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
        if (out.isEmpty()) QSKIP("TERVALIS_SCREENSHOTS not set");
        for (int language : {1, 2}) {
            Model m = At(0);
            m.Language = static_cast<uint8_t>(language);
            m.Switch[14] = 2;
            m.Switch[23] = 4;
            test::RecordingHost host;
            DialogStartPage()[1] = 4;
            InputDialog d(m, host, 2, true);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            d.Grid->setCurrentCell(1, 3); // w[u]
            QTest::qWait(50);
            d.grab().save(out + (language == 1 ? QStringLiteral("/input-wages-de.png")
                                               : QStringLiteral("/input-wages-en.png")));
            d.reject();
        }
        {
            Model m = At(0);
            m.Switch[12] = 1; // profit-maximising prices: a note instead of the grid
            test::RecordingHost host;
            DialogStartPage()[1] = 3;
            InputDialog d(m, host, 2, true);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            QTest::qWait(50);
            d.grab().save(out + QStringLiteral("/input-prices-note-de.png"));
            d.reject();
        }
        Model m = At(0);
        test::RecordingHost host;
        DemandDialog d(m, host);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::mouseClick(d.byIncomeGroup, Qt::LeftButton);
        d.Grid->setCurrentCell(1, 2);
        QTest::qWait(50);
        d.grab().save(out + QStringLiteral("/input-consumption-de.png"));
        d.reject();
    }
};

QTEST_MAIN(InputDialogTest)
#include "InputDialogTest.moc"
