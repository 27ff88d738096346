// The sectoral account scheme window on a bare frame and in the main window, offscreen.

#include "RecordingHost.h"
#include "TestModels.h"

#include "../windows/PdfText.h"
#include "TestMainWindow.h"
#include "app/MainWindow.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "services/HelpSystem.h"
#include "services/QtUserHost.h"
#include "services/WindowFrame.h"
#include "views/AccountSchemeCommands.h"
#include "views/AccountSchemeWindow.h"

#include <QAction>
#include <QMdiArea>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

using namespace tv;

namespace {

class TestFrame : public WindowFrame {
  public:
    TestFrame() {
        area.resize(1100, 800);
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

void Solve(Model& m, int current) {
    m.Periods.RightEdge = 10;
    test::RecordingHost host;
    SolveAtProgramStart(m, host);
    m.Periods.CurrentPeriod = current;
}

// A real open economy and a monetary one with four phases, as in the core tests.
Model RealModel() {
    Model m = test::KeynesianModel();
    test::SetAll(m, {{par::tY, 0.2},
                     {par::SBAut, 20},
                     {par::SubAut, 10},
                     {par::ExAut, 50},
                     {par::ImAut, 10},
                     {par::mY, 0.1}});
    test::SetFrom(m, 5, {{par::GAut, 140}});
    Solve(m, 5);
    return m;
}

Model MonetaryModel() {
    Model m = test::OpenFlexibleModel();
    m.Switch[21] = 0;
    m.Switch[19] = 1;
    test::SetAll(m, {{par::nWR, 0.4}});
    test::SetFrom(m, 5, {{par::GAut, 220}});
    m.UpdateActiveParams();
    Solve(m, 5);
    return m;
}

AccountSchemeWindow* Open(TestFrame& f) {
    auto* w = WorkingWindow::Create<AccountSchemeWindow>(f);
    f.area.addSubWindow(w);
    w->show();
    return w;
}

QString InfoText(AccountSchemeWindow* w) {
    return w->Info->toPlainText();
}

} // namespace

class AccountSchemeWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void stepsToTheEndByKeyboardAndBack() {
        TestFrame f;
        f.m = RealModel();
        AccountSchemeWindow* w = Open(f);
        QCOMPARE(w->windowTitle(), QStringLiteral("Sektorales Kontenschema"));
        QVERIFY(!w->FirstButton->isEnabled() && !w->BackButton->isEnabled());
        QVERIFY(w->NextButton->isEnabled() && w->LastButton->isEnabled());
        for (int k = 0; k < 11; ++k)
            QTest::keyClick(w->Canvas, Qt::Key_Right);
        QCOMPARE(w->Scheme().BookingCount(), 11);
        QVERIFY(!w->Scheme().Finished());
        QTest::keyClick(w->Canvas, Qt::Key_Right); // the end line
        QVERIFY(w->Scheme().Finished());
        QVERIFY(!w->NextButton->isEnabled() && !w->LastButton->isEnabled());
        QVERIFY(InfoText(w).endsWith(QStringLiteral("Ende der Periode t = 5")));
        QTest::keyClick(w->Canvas, Qt::Key_Right); // nothing left
        QCOMPARE(w->Scheme().BookingCount(), 11);
        QTest::keyClick(w->Canvas, Qt::Key_Left);
        QCOMPARE(w->Scheme().BookingCount(), 10);
        QVERIFY(w->NextButton->isEnabled());
        QTest::keyClick(w->Canvas, Qt::Key_End);
        QVERIFY(w->Scheme().Finished());
        QTest::keyClick(w->Canvas, Qt::Key_Home);
        QCOMPARE(w->Scheme().BookingCount(), 0);
        QVERIFY(!w->BackButton->isEnabled());
        w->LastButton->click();
        QVERIFY(w->Scheme().Finished());
        delete w;
    }

    void languageSwitchKeepsTheBookings() {
        TestFrame f;
        f.m = RealModel();
        AccountSchemeWindow* w = Open(f);
        w->GoLast();
        f.m.Language = 2;
        w->RefreshLanguage();
        QCOMPARE(w->windowTitle(), QStringLiteral("Sectoral Account Scheme"));
        QVERIFY(w->Scheme().Finished());
        QCOMPARE(w->Scheme().BookingCount(), 11);
        QVERIFY(InfoText(w).startsWith(QStringLiteral("Initial situation")));
        QVERIFY(InfoText(w).endsWith(QStringLiteral("End of period t = 5")));
        QCOMPARE(w->NextButton->toolTip(), QStringLiteral("Next booking"));
        delete w;
    }

    void crossHighlightingFromEntriesAndInfoLines() {
        TestFrame f;
        f.m = RealModel();
        AccountSchemeWindow* w = Open(f);
        w->GoLast();
        w->SelectByInfoLine(QStringLiteral("3') Das Geldvermögen ..."));
        QCOMPARE(w->Canvas->selectedTag, 3);
        QVERIFY(w->Canvas->selectedCounter);
        QCOMPARE(w->Info->extraSelections().size(), 1);
        QVERIFY(
            w->Info->extraSelections()[0].cursor.block().text().startsWith(QStringLiteral("3')")));
        // A click on a drawn entry selects its tag.
        w->Canvas->grab();
        const auto hits = w->Canvas->Hits();
        QVERIFY(!hits.empty());
        const SchemeHit h = hits.front();
        QTest::mouseClick(w->Canvas, Qt::LeftButton, {}, h.rect.center());
        QCOMPARE(w->Canvas->selectedTag, h.tag);
        QCOMPARE(w->Canvas->selectedCounter, h.counter);
        // A line without a leading tag keeps the selection.
        w->SelectByInfoLine(QStringLiteral("Periodenabschluss der pr. Haushalte:"));
        QCOMPARE(w->Canvas->selectedTag, h.tag);
        delete w;
    }

    void phaseModeStepsThroughThePhases() {
        TestFrame f;
        f.m = MonetaryModel();
        AccountSchemeWindow* w = Open(f);
        QCOMPARE(w->Scheme().PhaseCount(), 4);
        QTest::mouseClick(w->PhaseLabel, Qt::LeftButton);
        QVERIFY(w->PhaseMode());
        QVERIFY(!w->FirstButton->isEnabled() && w->NextButton->isEnabled());
        QTest::keyClick(w->Canvas, Qt::Key_Right);
        QCOMPARE(w->Scheme().Phase(), 2);
        QCOMPARE(w->PhaseLabel->text(), QStringLiteral("akt. TP: 2"));
        QTest::keyClick(w->Canvas, Qt::Key_End);
        QCOMPARE(w->Scheme().Phase(), 4);
        QVERIFY(!w->NextButton->isEnabled() && w->BackButton->isEnabled());
        QTest::mouseClick(w->TransactionLabel, Qt::LeftButton);
        QVERIFY(!w->PhaseMode());
        QTest::keyClick(w->Canvas, Qt::Key_End);
        QVERIFY(InfoText(w).endsWith(
            QStringLiteral("Ende der 4. Transaktionsphase von Periode t = 5")));
        // Moving the current period starts again in phase 1.
        f.m.Periods.CurrentPeriod = 6;
        w->Message(MSG_PERIOD_MOVED, 2, 1);
        QCOMPARE(w->Scheme().Phase(), 1);
        QCOMPARE(w->Scheme().Period(), 6);
        QCOMPARE(w->Scheme().BookingCount(), 0);
        delete w;
    }

    void singlePhaseLabelIsGreyAndRefusesPhaseMode() {
        TestFrame f;
        f.m = RealModel();
        AccountSchemeWindow* w = Open(f);
        QTest::mouseClick(w->PhaseLabel, Qt::LeftButton);
        QVERIFY(!w->PhaseMode());
        QCOMPARE(w->PhaseLabel->palette().color(QPalette::WindowText), QColor(Qt::gray));
        delete w;
    }

    void moneyMarketOnlyClosesTheWindow() {
        TestFrame f;
        f.m = MonetaryModel();
        QPointer<AccountSchemeWindow> w = Open(f);
        f.m.Switch[17] = 2;
        w->Message(MSG_MODEL_CHANGED, 1, 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w.isNull());
        QCOMPARE(f.recorder.messages.size(), size_t(1));
        QVERIFY(QString::fromStdString(f.recorder.messages[0])
                    .contains(QStringLiteral("Unvollständiger Wertpapiermarkt")));
    }

    void pictureAndPrintUseTheSameDrawing() {
        TestFrame f;
        f.m = MonetaryModel();
        AccountSchemeWindow* w = Open(f);
        w->GoLast();
        const QImage image = w->RenderPicture(900, 700);
        QCOMPARE(image.size(), QSize(900, 700));
        int red = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                if (image.pixelColor(x, y) == QColor(Qt::red)) ++red;
        QVERIFY(red > 0); // the last booking is drawn red
        QTemporaryDir dir;
        f.printer_.setOutputFormat(QPrinter::PdfFormat);
        f.printer_.setOutputFileName(dir.filePath(QStringLiteral("scheme.pdf")));
        w->Message(MSG_PRINT, 1, 1);
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("scheme.pdf"))).size() > 1000);
        delete w;
    }

    // The print-out holds every entry of every account and every explanation line whole,
    // over as many numbered pages as needed.
    void printHoldsEverythingOverPages() {
        struct Case {
            const char* name;
            Model (*model)();
            int phase;
        } cases[] = {{"real", RealModel, 1},
                     {"monetary phase 1", MonetaryModel, 1},
                     {"monetary last phase", MonetaryModel, 4}};
        for (const Case& c : cases) {
            TestFrame f;
            f.m = c.model();
            AccountSchemeWindow* w = Open(f);
            if (c.phase > 1) {
                w->SetPhaseMode(true);
                w->GoLast();
                w->SetPhaseMode(false);
            }
            w->GoLast();
            QVERIFY(w->Scheme().Finished());
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("scheme.pdf"));
            f.printer_.setOutputFormat(QPrinter::PdfFormat);
            f.printer_.setOutputFileName(path);
            w->Message(MSG_PRINT, 1, 1);
            const QString keep = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
            if (!keep.isEmpty())
                QFile::copy(path, keep + QStringLiteral("/scheme-print-%1.pdf").arg(c.phase));
            QFile pdf(path);
            QVERIFY2(pdf.open(QIODevice::ReadOnly), c.name);
            QString text = pdftext::Extract(pdf.readAll());
            // The PDF font joins letters into ligatures.
            text.replace(QChar(0xFB00), QStringLiteral("ff"))
                .replace(QChar(0xFB01), QStringLiteral("fi"))
                .replace(QChar(0xFB02), QStringLiteral("fl"))
                .replace(QChar(0xFB03), QStringLiteral("ffi"))
                .replace(QChar(0xFB04), QStringLiteral("ffl"));
            if (qEnvironmentVariableIsSet("DUMP_PDF_TEXT")) qInfo().noquote() << text;
            const QString flat = QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '));
            const QString spaced = flat.simplified().remove(QLatin1Char(' '));
            auto holds = [&](const std::string& s) {
                // Wrapped lines come apart at any character: compare without blanks.
                return spaced.contains(QString::fromStdString(s).remove(QLatin1Char(' ')));
            };
            const AccountScheme& s = w->Scheme();
            int entries = 0;
            for (int a = 0; a < SchemeAccountCount; ++a) {
                if (!s.Visible(static_cast<SchemeAccount>(a))) continue;
                for (int col = 0; col < 2; ++col)
                    for (const SchemeEntry& e : s.State().Columns[a][col]) {
                        if (e.Text.empty() || e.Text.find_first_not_of('-') == std::string::npos)
                            continue;
                        ++entries;
                        QVERIFY2(holds(e.Text),
                                 qPrintable(QString::fromLatin1(c.name) + QStringLiteral(": ") +
                                            QString::fromStdString(e.Text)));
                    }
            }
            QVERIFY(entries > 20);
            for (const SchemeLine& line : s.State().Lines)
                QVERIFY2(holds(line.Text), qPrintable(QString::fromStdString(line.Text)));
            QVERIFY2(!text.contains(QChar(0x2026)), c.name);
            QVERIFY2(!QRegularExpression(QStringLiteral("\\d&")).match(text).hasMatch(), c.name);
            QVERIFY2(text.contains(QStringLiteral("Seite: 1")), c.name);
            if (s.Monetary()) QVERIFY2(text.contains(QStringLiteral("Seite: 2")), c.name);
            delete w;
        }
    }

    void f1OpensTheAccountSchemeHelp() {
        TestFrame f;
        f.m = RealModel();
        AccountSchemeWindow* w = Open(f);
        QCOMPARE(HelpSystem::ContextOf(w), 687);
        QCOMPARE(HelpSystem::ContextOf(w->Canvas), 687);
        delete w;
    }

    void menuEntryOpensOneWindow() {
        QTemporaryDir dir;
        Model m;
        m.InitialiseForProgramStart();
        MainWindow main(m, TestProgramOptions(dir.path()));
        QStringList told;
        main.userHost().scriptMessage = [&told](const QString& t, const QString& text) {
            told << t + QStringLiteral(": ") + text;
        };
        QSignalSpy done(&main, &MainWindow::startupFinished);
        main.show();
        QVERIFY(done.wait(10000));
        QAction* a = main.Action(QStringLiteral("MIAufbKonten"));
        QVERIFY(a && !a->isEnabled());
        InstallAccountSchemeCommands(main);
        QVERIFY(a->isEnabled());
        a->trigger();
        a->trigger();
        int open = 0;
        for (QMdiSubWindow* s : main.mdiArea()->subWindowList())
            if (qobject_cast<AccountSchemeWindow*>(s)) ++open;
        QCOMPARE(open, 1);
        m.Switch[17] = 2; // as the interest dialog does: a structural change
        m.RecalcAll = 1;
        main.ModelChanged();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(told.join(QLatin1Char('\n'))
                    .contains(QStringLiteral("Kreislaufmodell wird geschlossen")));
        QVERIFY(!main.ChildExists(AccountSchemeWindow::Caption));
        told.clear();
        a->trigger();
        QVERIFY(!main.ChildExists(AccountSchemeWindow::Caption));
        QCOMPARE(told.size(), 1);
        QVERIFY(told[0].startsWith(QStringLiteral("So nicht!")));
    }
};

QTEST_MAIN(AccountSchemeWindowTest)
#include "AccountSchemeWindowTest.moc"
