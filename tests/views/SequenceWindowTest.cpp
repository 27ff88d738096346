// The sequence tables and the number-format dialog on a bare frame, offscreen.

#include "RecordingHost.h"
#include "TestModels.h"

#include "../windows/PdfText.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "services/Printing.h"
#include "services/WindowFrame.h"
#include "views/SequenceTableWindow.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QListWidget>
#include <QMdiArea>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace tv;

namespace {

class TestFrame : public WindowFrame {
  public:
    TestFrame() {
        area.resize(900, 600);
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

// The bond-market model with more government purchases from period 3, solved; the
// current period is 4.
void Shocked(Model& m) {
    m = test::BondMarketModel();
    test::SetFrom(m, 3, {{par::GAut, m.GetPar(3, par::GAut) + 50}});
    m.Periods.RightEdge = 12;
    test::RecordingHost host;
    Solve(m, host);
    m.Periods.CurrentPeriod = 4;
}

SequenceTableWindow* Open(TestFrame& f, bool differences) {
    auto* w = WorkingWindow::Create<SequenceTableWindow>(f, differences);
    f.area.addSubWindow(w);
    w->show();
    return w;
}

void Screenshot(QWidget* w, const QString& name) {
    const QString dir = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    w->grab().save(dir + QLatin1Char('/') + name);
}

// Prints the window through MSG_PRINT into a PDF; `dialog` answers the print-range dialog.
// Returns the PDF's text lines, none when nothing was printed.
QStringList PrintedLines(TestFrame& f, SequenceTableWindow* w,
                         const std::function<void(PeriodPrintDialog*)>& dialog) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("table.pdf"));
    f.printer_.setOutputFormat(QPrinter::PdfFormat);
    f.printer_.setOutputFileName(path);
    bool asked = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<PeriodPrintDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        asked = true;
        dialog(d);
    });
    w->Message(MSG_PRINT, 1, 1);
    if (!asked) return {QStringLiteral("(no dialog)")};
    QFile pdf(path);
    if (!pdf.open(QIODevice::ReadOnly)) return {};
    const QString keep = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
    if (!keep.isEmpty()) QFile::copy(path, keep + QStringLiteral("/sequence-print.pdf"));
    return pdftext::Extract(pdf.readAll()).split(QLatin1Char('\n'));
}

} // namespace

class SequenceWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { SharedSequenceTableState() = SequenceTableState{}; }

    void opensWideEnoughAndKeepsTheCurrentRowInSight() {
        struct Case {
            const char* name;
            bool everyVariable;
        } cases[] = {{"default set", false}, {"every variable", true}};
        for (const Case& c : cases) {
            SharedSequenceTableState() = SequenceTableState{};
            if (c.everyVariable) {
                SeriesFlags all{};
                for (int v = 1; v <= 63; ++v)
                    all[size_t(v)] = true;
                SharedSequenceTableState().Sets[0] = all;
                SharedSequenceTableState().HasSet[0] = true;
            }
            TestFrame f;
            f.area.resize(1400, 600);
            Shocked(f.m);
            f.m.Periods.RightEdge = 60;
            f.m.Periods.LastSolved = 12;
            test::RecordingHost host;
            Solve(f.m, host);
            SequenceTableWindow* w = Open(f, false);
            QCoreApplication::processEvents();
            QVERIFY2(w->width() <= f.area.width(), c.name);
            if (!c.everyVariable) // every column in sight without scrolling sideways
                QVERIFY2(w->Grid->horizontalScrollBar()->maximum() == 0, c.name);
            // A period far below the first rows scrolls into view.
            f.m.Periods.CurrentPeriod = 55;
            w->Message(MSG_PERIOD_MOVED, 2, 1);
            QCoreApplication::processEvents();
            const QRect row = w->Grid->visualRect(w->TableModel->index(55, 0));
            QVERIFY2(w->Grid->viewport()->rect().intersects(row), c.name);
            delete w;
        }
    }

    void cellsAreTheFormattedStore() {
        for (bool differences : {false, true}) {
            TestFrame f;
            Shocked(f.m);
            auto* w = Open(f, differences);
            SequenceTableModel* t = w->TableModel;
            QCOMPARE(t->rowCount(), 13);
            QCOMPARE(t->Columns(), (std::vector<int>{13, 15, 31, 36, 37, 47, 48, 50, 55}));
            for (int r = 0; r < t->rowCount(); ++r)
                for (int c = 0; c < t->columnCount(); ++c) {
                    const int v = t->VariableOfColumn(c);
                    const double x =
                        differences ? f.m.GetVar(r, v) - f.m.GetVar(r - 1, v) : f.m.GetVar(r, v);
                    QCOMPARE(t->data(t->index(r, c), Qt::DisplayRole).toString(),
                             QString::fromStdString(f.m.FormatNumber(x)));
                }
            QCOMPARE(t->headerData(4, Qt::Horizontal, Qt::DisplayRole).toString(),
                     differences ? QStringLiteral("dY") : QStringLiteral("Y"));
            QCOMPARE(t->data(t->index(4, 0), Qt::BackgroundRole).value<QColor>(),
                     QColor(0, 0, 0x80)); // the current period
            Screenshot(w, differences ? QStringLiteral("sequence-differences-de.png")
                                      : QStringLiteral("sequence-absolute-de.png"));
            f.m.Language = 2;
            w->RefreshLanguage();
            QCOMPARE(w->windowTitle(),
                     differences
                         ? QStringLiteral("Sequential Analysis: Worksheet (Differences)")
                         : QStringLiteral("Sequential Analysis: Worksheet (Absolute Values)"));
            Screenshot(w, differences ? QStringLiteral("sequence-differences-en.png")
                                      : QStringLiteral("sequence-absolute-en.png"));
        }
    }

    void intervalNumberFormatAndVariableFour() {
        TestFrame f;
        Shocked(f.m);
        auto* w = Open(f, false);
        SeriesFlags set{};
        set[4] = set[37] = true;
        w->SetVisible(set);
        f.m.Periods.LeftEdge = 3;
        f.m.Periods.RightEdge = 7;
        w->Message(MSG_PERIOD_MOVED, 1, 1);
        SequenceTableModel* t = w->TableModel;
        QCOMPARE(t->rowCount(), 5);
        QCOMPARE(t->headerData(0, Qt::Vertical, Qt::DisplayRole).toInt(), 3);
        // Refilling after a model change keeps variable 4 (its header is "YV,er").
        w->Message(MSG_MODEL_CHANGED, 1, 1);
        QCOMPARE(t->Columns(), (std::vector<int>{4, 37}));
        f.m.DecimalPlaces = 4;
        w->Message(MSG_NUMBER_FORMAT, 2, 1);
        QCOMPARE(t->data(t->index(0, 1), Qt::DisplayRole).toString(),
                 QString::fromStdString(f.m.FormatNumber(f.m.GetVar(3, var::Y))));
        QVERIFY(t->data(t->index(0, 1), Qt::DisplayRole)
                    .toString()
                    .contains(QRegularExpression("\\.\\d{4}$")));
        // An empty set shows income.
        w->SetVisible(SeriesFlags{});
        QCOMPARE(t->Columns(), (std::vector<int>{37}));
    }

    // The print range: preset from the selected rows, any order, every period printed over
    // as many pages as needed, each page numbered; Cancel prints nothing.
    void printsTheChosenPeriodsOverPages() {
        TestFrame f;
        Shocked(f.m);
        f.m.Periods.RightEdge = 100;
        test::RecordingHost host;
        Solve(f.m, host);
        auto* w = Open(f, false);
        struct Case {
            const char* name;
            int selectFrom, selectTo; // selected rows' periods, -1 for none
            int presetFrom, presetTo; // what the dialog shows
            int from, to;             // what the user enters
        } cases[] = {
            {"no selection", -1, -1, 0, 100, 0, 100},
            {"rows selected", 30, 45, 30, 45, 30, 45},
            {"one row selected", 7, 7, 0, 100, 95, 12}, // range entered backwards
        };
        for (const Case& c : cases) {
            w->Grid->clearSelection();
            if (c.selectFrom >= 0) {
                w->Grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
                w->Grid->selectionModel()->select(
                    QItemSelection(w->TableModel->index(c.selectFrom, 0),
                                   w->TableModel->index(c.selectTo, 1)),
                    QItemSelectionModel::Select);
            }
            int shownFrom = -1, shownTo = -1, low = 0, high = 0;
            const QStringList lines = PrintedLines(f, w, [&](PeriodPrintDialog* d) {
                shownFrom = d->FromBox->value();
                shownTo = d->ToBox->value();
                low = d->FromBox->minimum();
                high = d->ToBox->maximum();
                d->FromBox->setValue(c.from);
                d->ToBox->setValue(c.to);
                d->accept();
            });
            QVERIFY2(shownFrom == c.presetFrom && shownTo == c.presetTo, c.name);
            QCOMPARE(low, 0);
            QCOMPARE(high, 100);
            const int from = std::min(c.from, c.to), to = std::max(c.from, c.to);
            // Period cells are the only lines that are whole numbers.
            for (int t = 0; t <= 100; ++t)
                QVERIFY2(lines.contains(QString::number(t)) == (t >= from && t <= to),
                         qPrintable(QStringLiteral("%1: period %2").arg(c.name).arg(t)));
            const int pages = static_cast<int>(
                lines.filter(QRegularExpression(QStringLiteral("Seite: \\d+$"))).size());
            QVERIFY2(pages >= (to - from) / 60 + 1, c.name);
            for (int page = 1; page <= pages; ++page)
                QVERIFY2(lines.filter(QStringLiteral("Seite: %1").arg(page)).size() == 1, c.name);
            QVERIFY2(lines.filter(QStringLiteral("TERVALIS 5.1, Modell: NEU (Stand: ")).size() ==
                         pages,
                     c.name);
            QVERIFY(lines.contains(w->windowTitle()));
        }
        // Cancel prints nothing.
        const QStringList none = PrintedLines(f, w, [](PeriodPrintDialog* d) { d->reject(); });
        QVERIFY(none.isEmpty());
    }

    // All 63 variables: the columns that do not fit go to further pages; every heading and
    // every value is printed whole.
    void printsEveryColumnWhole() {
        TestFrame f;
        Shocked(f.m);
        auto* w = Open(f, true);
        SeriesFlags all{};
        for (int v = 1; v <= 63; ++v)
            all[v] = true;
        w->SetVisible(all);
        const QStringList lines = PrintedLines(f, w, [](PeriodPrintDialog* d) { d->accept(); });
        QVERIFY(lines.size() > 1);
        for (int c = 0; c < w->TableModel->columnCount(); ++c) {
            const QString heading =
                w->TableModel->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            QVERIFY2(lines.contains(heading), qPrintable(heading));
            for (int r : {0, 12})
                QVERIFY2(lines.contains(w->TableModel->CellText(r, c)),
                         qPrintable(heading + QStringLiteral(" row ") + QString::number(r)));
        }
        QVERIFY(lines.filter(QStringLiteral("Seite: 2")).size() == 1);
        for (const QString& line : lines)
            QVERIFY2(!line.contains(QChar(0x2026)) && !line.endsWith(QLatin1Char('&')),
                     qPrintable(line));
    }

    void statisticsOfSelectedRows() {
        TestFrame f;
        Shocked(f.m);
        auto* w = Open(f, true);
        // One row selected: no statistics (the selection dialog opens instead).
        w->Grid->selectionModel()->select(w->TableModel->index(2, 4),
                                          QItemSelectionModel::ClearAndSelect);
        QVERIFY(w->SelectionStatistics().empty());
        w->Grid->selectionModel()->select(
            QItemSelection(w->TableModel->index(2, 4), w->TableModel->index(5, 4)),
            QItemSelectionModel::ClearAndSelect);
        std::string caption;
        const auto lines = w->SelectionStatistics(&caption);
        QCOMPARE(QString::fromStdString(caption), QStringLiteral("Einkommen (Y): 2 - 5"));
        QCOMPARE(QString::fromStdString(lines[0]), QStringLiteral(" Periodenanzahl: 4"));
        double sum = 0;
        for (int t = 2; t <= 5; ++t)
            sum += f.m.GetVar(t, var::Y) - f.m.GetVar(t - 1, var::Y);
        QCOMPARE(QString::fromStdString(lines[1]),
                 QString::fromStdString("Summe: " + f.m.FormatNumber(sum)));
        // A marked column takes all its rows.
        w->Grid->horizontalHeader()->sectionClicked(4);
        QCOMPARE(w->TableModel->MarkedColumn(), 4);
        QCOMPARE(QString::fromStdString(w->SelectionStatistics()[0]),
                 QStringLiteral(" Periodenanzahl: 13"));
    }

    void selectionDialog() {
        SeriesFlags shown{};
        shown[31] = shown[37] = true;
        SeriesSelectionDialog d(SeriesKind::Variable, shown, 1);
        QCOMPARE(d.VisibleList->count(), 2);
        QVERIFY(!d.ExcludeButton->isEnabled()); // nothing selected yet
        d.HiddenList->item(0)->setSelected(true);
        d.Include(false);
        QCOMPARE(d.VisibleList->count(), 3);
        QVERIFY(d.Shown()[1]);
        d.Exclude(true);
        QCOMPARE(d.VisibleList->count(), 0);
        QVERIFY(!d.ExcludeAllButton->isEnabled());
        // A parameter dialog emptied stays empty: no parameter 37 from the table fallback.
        SeriesSelectionDialog p(SeriesKind::Parameter, SeriesFlags{}, 2);
        QCOMPARE(p.HiddenList->count(), 64);
        QVERIFY(!p.Shown()[37]);
        Screenshot(&d, QStringLiteral("sequence-selection-de.png"));
    }

    void numberFormatDialog() {
        NumberFormatDialog d(2, 7, 2);
        QCOMPARE(d.windowTitle(), QStringLiteral("Number formatting"));
        QCOMPARE(d.DecimalsBox->maximum(), 10);
        d.DecimalsBox->setValue(12);
        QCOMPARE(d.DecimalsBox->value(), 10);
        Screenshot(&d, QStringLiteral("number-format-en.png"));
    }
};

QTEST_MAIN(SequenceWindowTest)
#include "SequenceWindowTest.moc"
