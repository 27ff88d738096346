// The worksheet and the accounting system on a bare frame, offscreen.

#include "../windows/PdfText.h"
#include "RecordingHost.h"
#include "TestModels.h"

#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "money/MoneyWindows.h"
#include "services/WindowFrame.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

using namespace tv;

namespace {

class TestFrame : public WindowFrame {
  public:
    TestFrame() {
        area.resize(1000, 760);
        area.show();
    }
    Model& model() override { return m; }
    UserHost& host() override { return silent; }
    QMdiArea* mdiArea() override { return &area; }
    QRect baseArea() const override { return QRect(0, 0, area.width(), area.height()); }
    QPrinter& printer() override { return printer_; }
    QFont printerFont() const override { return QFont(QStringLiteral("DejaVu Sans"), 10); }
    QFont screenFont() const override { return QFont(QStringLiteral("DejaVu Sans"), 9); }
    QString modelBaseName() const override { return QStringLiteral("NEU"); }
    int assignedPeriod(int) const override { return m.Periods.CurrentPeriod; }

    Model m;
    SilentHost silent;
    QMdiArea area;
    QPrinter printer_{QPrinter::HighResolution};
};

// A model with money creation whose monetary base grows in period 3; the current period
// is 3.
void MoneyModel(Model& m) {
    m = test::OpenFlexibleModel();
    test::SetFrom(m, 3, {{par::MBNAut, 170}});
    m.Periods.RightEdge = 8;
    test::RecordingHost host;
    SolveAtProgramStart(m, host);
    m.Periods.CurrentPeriod = 3;
}

template <class W> W* Open(TestFrame& f) {
    W* w = WorkingWindow::Create<W>(f);
    f.area.addSubWindow(w);
    w->show();
    f.area.setActiveSubWindow(w);
    return w;
}

} // namespace

class MoneyWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { SharedMoneyShares() = MoneyShares{}; }

    void worksheetTable() {
        TestFrame f;
        MoneyModel(f.m);
        auto* w = Open<MoneyWorksheetWindow>(f);
        QCOMPARE(w->windowTitle(), QStringLiteral("Geld- und Kreditschöpfung: Sequenztabelle"));
        QCOMPARE(w->RoundsBox->value(), 3);
        QCOMPARE(w->Grid->rowCount(), 7); // rounds 0..3, "...", "oo", "DIFF (-->0)"
        QCOMPARE(w->Grid->item(5, 0)->text(), QStringLiteral("oo"));
        QCOMPARE(w->Grid->item(5, 8)->text(),
                 QString::fromStdString(f.m.FormatNumber(f.m.GetVar(3, var::MN))));
        QCOMPARE(w->Grid->horizontalHeaderItem(1)->text(), QStringLiteral("KRN"));
        // The window opens with room for eight table rows.
        QTest::qWait(20);
        const int rowH = w->Grid->verticalHeader()->defaultSectionSize();
        QVERIFY2(std::abs(w->Grid->viewport()->height() - 8 * rowH) <= rowH / 2,
                 qPrintable(QString::number(w->Grid->viewport()->height())));

        w->RoundsBox->setValue(500); // clamped
        QCOMPARE(w->RoundsBox->value(), 100);
        QCOMPARE(w->Grid->rowCount(), 104);
        w->DifferencesButton->setChecked(true);
        QCOMPARE(w->Grid->horizontalHeaderItem(2)->text(), QStringLiteral("ÜRN"));
        QCOMPARE(w->Grid->item(103, 2)->text(), QStringLiteral("X"));
        w->RealButton->setChecked(true);
        QCOMPARE(w->Grid->horizontalHeaderItem(2)->text(), QStringLiteral("ÜR"));

        // Round by round: one table row at a time, then back to the previous size.
        const QRect before = w->geometry();
        w->RoundByRoundButton->setChecked(true);
        QVERIFY(w->height() < before.height());
        QVERIFY(w->Grid->viewport()->height() <= rowH + 2);
        w->RoundByRoundButton->setChecked(false);
        QCOMPARE(w->geometry(), before);

        // Period moves and number formats recompute.
        f.m.Periods.CurrentPeriod = 4; // no impulse: the limit equals round 0
        w->Message(MSG_PERIOD_MOVED, 2, 1);
        QCOMPARE(w->Grid->item(103, 1)->text(), QStringLiteral("0.00"));
        f.m.DecimalPlaces = 4;
        w->Message(MSG_NUMBER_FORMAT, 2, 1);
        QCOMPARE(w->Grid->item(0, 1)->text(), QStringLiteral("0.0000"));
    }

    // What a user types into the rounds box is clamped, not refused digit by digit.
    void typedRoundsAreClamped() {
        TestFrame f;
        MoneyModel(f.m);
        auto* w = Open<MoneyWorksheetWindow>(f);
        struct Case {
            const char* typed;
            int rounds;
        } cases[] = {{"250", 100}, {"0", 1}, {"7", 7}, {"100", 100}, {"1", 1}};
        for (const Case& c : cases) {
            w->RoundsBox->setFocus();
            w->RoundsBox->selectAll();
            QTest::keyClicks(w->RoundsBox, QString::fromLatin1(c.typed));
            QTest::keyClick(w->RoundsBox, Qt::Key_Return);
            QVERIFY2(w->RoundsBox->value() == c.rounds, c.typed);
            QCOMPARE(w->RoundsBox->text(), QString::number(c.rounds));
            QCOMPARE(w->Grid->rowCount(), c.rounds + 4);
        }
        // The arrows stop at the ends.
        QTest::keyClick(w->RoundsBox, Qt::Key_Down);
        QCOMPARE(w->RoundsBox->value(), 1);
        w->RoundsBox->setValue(100);
        QTest::keyClick(w->RoundsBox, Qt::Key_Up);
        QCOMPARE(w->RoundsBox->value(), 100);
    }

    void accountsStepToTheEnd() {
        TestFrame f;
        MoneyModel(f.m);
        auto* w = Open<MoneyAccountsWindow>(f);
        QCOMPARE(w->RoundCounter->text(), QStringLiteral("Runde: 0"));
        QCOMPARE(w->EntryCounter->text(), QStringLiteral("Eintrag: 0"));
        QVERIFY(w->NextBookingButton->isEnabled());
        QVERIFY(w->CycleEndButton->isEnabled());
        QVERIFY(!w->CycleStartButton->isEnabled());
        QVERIFY(!w->UndoBookingButton->isEnabled());

        // Right books one entry, Left takes it back; the keys act inside the window.
        QApplication::setActiveWindow(&f.area);
        w->widget()->setFocus();
        QTest::keyClick(w->widget(), Qt::Key_Right);
        QCOMPARE(w->EntryCounter->text(), QStringLiteral("Eintrag: 1"));
        QCOMPARE(w->Sheets[AccountBankA]->AssetsList->topLevelItemCount(), 1);
        QCOMPARE(w->Sheets[AccountBankA]->AssetsList->topLevelItem(0)->text(1),
                 QStringLiteral("KR,A"));
        QVERIFY(w->UndoBookingButton->isEnabled());
        QTest::keyClick(w->widget(), Qt::Key_Left);
        QCOMPARE(w->EntryCounter->text(), QStringLiteral("Eintrag: 0"));
        QCOMPARE(w->Sheets[AccountBankA]->AssetsList->topLevelItemCount(), 0);

        // End books the rest of each round; the process stops and the forward buttons go grey.
        int guard = 0;
        while (w->CycleEndButton->isEnabled() && ++guard < 500)
            QTest::keyClick(w->widget(), Qt::Key_End);
        QVERIFY(guard < 500);
        QVERIFY(w->Process().Round() > 2);
        QVERIFY(w->Process().IsLastRound());
        QVERIFY(!w->NextBookingButton->isEnabled());
        QVERIFY(!w->CycleEndButton->isEnabled());
        QVERIFY(w->CycleStartButton->isEnabled());
        QVERIFY(w->Explanation->toPlainText().endsWith(
            QStringLiteral("*** Ende von Runde %1 ***").arg(w->Process().Round())));
        QTest::keyClick(w->widget(), Qt::Key_Home);
        QCOMPARE(w->RoundCounter->text(), QStringLiteral("Runde: 0"));

        // The sliders set the shares for bank B and hide a bank without any share.
        w->MarketShareSlider->setValue(100);
        w->BaseShareSlider->setValue(100);
        QCOMPARE(SharedMoneyShares().MarketA, 0);
        QVERIFY(w->Sheets[AccountBankA]->isHidden());
        QVERIFY(!w->Sheets[AccountBankB]->isHidden());
        QVERIFY(w->MarketShareLabel->text().contains(QStringLiteral("0 %")));
    }

    // Every entry of every balance sheet and every explanation line is printed whole, the
    // pages numbered.
    void accountsPrintHoldsEverything() {
        for (int rounds : {1, 2, 3}) {
            TestFrame f;
            MoneyModel(f.m);
            auto* accounts = Open<MoneyAccountsWindow>(f);
            for (int i = 0; i < rounds; ++i)
                accounts->CycleEnd();
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("accounts.pdf"));
            f.printer_.setOutputFormat(QPrinter::PdfFormat);
            f.printer_.setOutputFileName(path);
            accounts->Message(MSG_PRINT, 1, 1);
            QFile pdf(path);
            QVERIFY(pdf.open(QIODevice::ReadOnly));
            QString text = pdftext::Extract(pdf.readAll());
            for (auto [ligature, letters] : {std::pair{0xFB00, "ff"},
                                             {0xFB01, "fi"},
                                             {0xFB02, "fl"},
                                             {0xFB03, "ffi"},
                                             {0xFB04, "ffl"}})
                text.replace(QChar(ligature), QString::fromLatin1(letters));
            const QString flat = QString(text).remove(QLatin1Char('\n')).remove(QLatin1Char(' '));
            auto holds = [&](const QString& s) {
                return flat.contains(QString(s).remove(QLatin1Char(' ')));
            };
            const AccountingProcess& p = accounts->Process();
            QVERIFY(p.Booked() > 0);
            int entries = 0;
            for (int k = 1; k <= 4; ++k)
                for (AccountSide side : {Assets, Liabilities})
                    for (const ShownEntry& e : p.Shown(k, side)) {
                        ++entries;
                        const QString entry = QString::fromStdString(e.Tag + "  " + e.Label);
                        QVERIFY2(holds(QString::fromStdString(Translate(e.Label, 1))) &&
                                     holds(QString::fromStdString(f.m.FormatNumber(e.Amount))),
                                 qPrintable(entry));
                    }
            QVERIFY(entries >= 4);
            for (const QString& line :
                 QString::fromStdString(p.Explanation(1)).split(QLatin1Char('\n')))
                QVERIFY2(holds(line), qPrintable(line));
            QVERIFY(text.contains(QStringLiteral("Seite: 1")));
            QVERIFY(!text.contains(QChar(0x2026)));
            delete accounts;
        }
    }

    // The bank-name dialog renames the banks in the panels, the share labels and the
    // explanations; Cancel and empty fields behave.
    void bankNamesDialog() {
        TestFrame f;
        MoneyModel(f.m);
        auto* accounts = Open<MoneyAccountsWindow>(f);
        accounts->CycleEnd();
        const int booked = accounts->Process().Booked();
        struct Case {
            const char* a;
            const char* b;
            bool accept;
            const char* nameA;
            const char* nameB;
        } cases[] = {
            {"Nordbank", "Südbank", true, "Nordbank", "Südbank"},
            {"Anders", "Sonst", false, "Nordbank", "Südbank"},
            {"", "Westbank", true, "Bank A", "Westbank"},
        };
        for (const Case& c : cases) {
            bool shown = false;
            QString title;
            QTimer::singleShot(0, [&] {
                auto* d = qobject_cast<BankNamesDialog*>(QApplication::activeModalWidget());
                if (!d) return;
                shown = true;
                title = d->windowTitle();
                d->NameAEdit->setText(QString::fromUtf8(c.a));
                d->NameBEdit->setText(QString::fromUtf8(c.b));
                c.accept ? d->accept() : d->reject();
            });
            accounts->BankNamesButton->click();
            QVERIFY(shown);
            QCOMPARE(title, QStringLiteral("Banknamen"));
            QCOMPARE(accounts->Sheets[AccountBankA]->title(), QString::fromUtf8(c.nameA));
            QCOMPARE(accounts->Sheets[AccountBankB]->title(), QString::fromUtf8(c.nameB));
            QVERIFY(accounts->MarketShareLabel->text().startsWith(QString::fromUtf8(c.nameA)));
            QVERIFY(accounts->Explanation->toPlainText().contains(QString::fromUtf8(c.nameB)));
            QCOMPARE(accounts->Process().Booked(), booked); // the position is kept
        }
        delete accounts;
    }

    void languageSwitch() {
        TestFrame f;
        MoneyModel(f.m);
        auto* sheet = Open<MoneyWorksheetWindow>(f);
        auto* accounts = Open<MoneyAccountsWindow>(f);
        accounts->CycleEnd();
        f.m.Language = 2;
        sheet->RefreshLanguage();
        accounts->RefreshLanguage();
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Creation of Money and Credit: Worksheet"));
        QCOMPARE(sheet->Grid->horizontalHeaderItem(0)->text(), QStringLiteral("Round"));
        QCOMPARE(accounts->windowTitle(),
                 QStringLiteral("Creation of Money and Credit: Accounting System"));
        QCOMPARE(accounts->NextBookingButton->text(), QStringLiteral("Next Booking"));
        QCOMPARE(accounts->Sheets[AccountCentralBank]->title(), QStringLiteral("Central Bank"));
        QVERIFY(accounts->Explanation->toPlainText().endsWith(
            QStringLiteral("*** End of round 0 ***")));
        QCOMPARE(accounts->Process().Booked(),
                 static_cast<int>(accounts->Process().Script().size()));
    }

    void closedWhenMoneyCreationIsSwitchedOff() {
        TestFrame f;
        MoneyModel(f.m);
        QPointer<WorkingWindow> sheet = Open<MoneyWorksheetWindow>(f);
        QPointer<WorkingWindow> accounts = Open<MoneyAccountsWindow>(f);
        sheet->Message(MSG_MODEL_CHANGED, 1, 1); // still on: recomputes
        QVERIFY(sheet);
        f.m.Switch[18] = 0;
        sheet->Message(MSG_MODEL_CHANGED, 0, 0);
        accounts->Message(MSG_MODEL_CHANGED, 0, 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!sheet);
        QVERIFY(!accounts);
    }

    void printing() {
        TestFrame f;
        MoneyModel(f.m);
        auto* sheet = Open<MoneyWorksheetWindow>(f);
        auto* accounts = Open<MoneyAccountsWindow>(f);
        sheet->RoundsBox->setValue(100);
        accounts->CycleEnd();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("out.pdf"));
        for (WorkingWindow* w :
             {static_cast<WorkingWindow*>(sheet), static_cast<WorkingWindow*>(accounts)}) {
            f.printer_.setOutputFormat(QPrinter::PdfFormat);
            f.printer_.setOutputFileName(path);
            w->Message(MSG_PRINT, 1, 1);
            QFile pdf(path);
            QVERIFY(pdf.open(QIODevice::ReadOnly));
            const QString text = pdftext::Extract(pdf.readAll());
            QVERIFY2(text.contains(w->windowTitle()), qPrintable(text));
            if (w == sheet) {
                // 104 rows need more than one page; the last rows are printed too.
                QVERIFY2(text.contains(QStringLiteral("Seite: 2")), qPrintable(text));
                QVERIFY2(text.contains(QStringLiteral("DIFF (-->0)")), qPrintable(text));
            } else {
                QVERIFY2(text.contains(QStringLiteral("KR,A")), qPrintable(text));
                QVERIFY2(text.contains(QStringLiteral("*** Ende von Runde 0 ***")),
                         qPrintable(text));
            }
            pdf.close();
            QFile::remove(path);
        }
        // Copy as picture draws the content into the bitmap.
        const QImage image = accounts->RenderPicture(600, 400);
        QCOMPARE(image.size(), QSize(600, 400));
        bool drawn = false;
        for (int y = 0; y < 40 && !drawn; ++y)
            for (int x = 0; x < 300 && !drawn; ++x)
                drawn = image.pixel(x, y) != qRgb(255, 255, 255);
        QVERIFY(drawn); // the round heading
    }
};

QTEST_MAIN(MoneyWindowsTest)
#include "MoneyWindowsTest.moc"
