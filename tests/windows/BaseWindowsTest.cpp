// The equation and result windows on a bare frame, offscreen.

#include "PdfText.h"
#include "RecordingHost.h"
#include "TestModels.h"

#include "core/Baseline.h"
#include "core/Model.h"
#include "core/Solver.h"
#include "core/Symbols.h"
#include "services/WindowFrame.h"
#include "windows/EquationWindow.h"
#include "windows/ExplanationWindow.h"
#include "windows/ResultWindow.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

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
    QColor printerFontColour() const override { return printColour; }
    QFont screenFont() const override { return font; }
    QString modelBaseName() const override { return QStringLiteral("NEU"); }
    int assignedPeriod(int pair) const override {
        if (pair == 1) return pair1Current ? m.Periods.CurrentPeriod : m.Periods.LeftEdge;
        return pair2Current ? m.Periods.CurrentPeriod : m.Periods.RightEdge;
    }
    bool solving() const override { return solvingNow; }
    const Baseline* baseline() const override { return frozen; }

    Model m;
    SilentHost silent;
    QMdiArea area;
    QPrinter printer_{QPrinter::HighResolution};
    QFont font{QStringLiteral("DejaVu Sans"), 9};
    bool pair1Current = false, pair2Current = false;
    bool solvingNow = false;
    const Baseline* frozen = nullptr;
    QColor printColour = Qt::black;
};

// The four base windows on one frame, as the main window creates them.
struct Windows {
    explicit Windows(TestFrame& f) : frame(f) {
        r2 = static_cast<ResultWindow*>(CreateBaseWindow(BaseWindowRole::Results2, f));
        e2 = static_cast<EquationWindow*>(CreateBaseWindow(BaseWindowRole::Equations2, f));
        r1 = static_cast<ResultWindow*>(CreateBaseWindow(BaseWindowRole::Results1, f));
        e1 = static_cast<EquationWindow*>(CreateBaseWindow(BaseWindowRole::Equations1, f));
        for (BaseWindow* w : all()) {
            f.area.addSubWindow(w);
            w->show();
        }
    }
    std::vector<BaseWindow*> all() const { return {r2, e2, r1, e1}; }
    void Send(int msg, long w, long l) {
        for (BaseWindow* x : all())
            x->Message(msg, w, l);
    }
    // What the main window does after solving or loading.
    void ModelChanged() {
        Send(MSG_MODEL_CHANGED_EQ, 1, 1);
        Send(MSG_MODEL_CHANGED, 1, 1);
    }
    void PeriodMoved(int kind) {
        Send(MSG_PERIOD_MOVED_EQ, kind, 1);
        Send(MSG_PERIOD_MOVED, kind, 1);
    }
    void Language(int language) {
        frame.m.Language = static_cast<uint8_t>(language);
        for (BaseWindow* x : all())
            x->RefreshLanguage();
    }
    TestFrame& frame;
    ResultWindow *r1, *r2;
    EquationWindow *e1, *e2;
};

void Solve(Model& m) {
    m.Periods.RightEdge = 12;
    test::RecordingHost host;
    SolveAtProgramStart(m, host);
}

int ItemCount(QTreeWidget* tree) {
    int n = 0;
    QTreeWidgetItemIterator it(tree);
    while (*it) {
        ++n;
        ++it;
    }
    return n;
}

// Lets queued layout work (scroll bars shown or hidden, viewports resized) happen.
void Settle() {
    for (int k = 0; k < 5; ++k)
        QCoreApplication::processEvents();
}

// Every number and heading of the result window is shown in full and the columns share
// the grid's visible width, with nothing to scroll sideways.
void CheckColumnsFit(ResultWindow* r, const QString& when) {
    Settle();
    const QTableWidget* g = r->Grid;
    const QString where = r->windowTitle() + QStringLiteral(", ") + when;
    QVERIFY2(!g->horizontalScrollBar()->isVisible(), qPrintable(where));
    int total = 0;
    for (int c = 0; c < g->columnCount(); ++c)
        total += g->columnWidth(c);
    const int client = g->viewport()->width();
    QVERIFY2(total <= client && total >= client - 3,
             qPrintable(where + QStringLiteral(": %1 of %2").arg(total).arg(client)));
    const QFontMetrics fm(g->font()), headingFm(g->horizontalHeader()->font());
    for (int c = 1; c < g->columnCount(); ++c) {
        const QString heading = g->horizontalHeaderItem(c)->text();
        QVERIFY2(headingFm.horizontalAdvance(heading) + 4 <= g->columnWidth(c),
                 qPrintable(where + QStringLiteral(": ") + heading));
        QCOMPARE(r->ShownText(-1, c), heading);
        for (int row = 0; row < g->rowCount(); ++row) {
            const QString text = g->item(row, c)->text();
            // The cell is its column less the grid line; the number keeps 2 pixels.
            QVERIFY2(fm.horizontalAdvance(text) + 2 <= g->columnWidth(c) - 1,
                     qPrintable(where + QStringLiteral(": ") + text));
            QCOMPARE(r->ShownText(row, c), text);
        }
    }
}

// WCAG contrast ratio of two colours.
double Contrast(QColor a, QColor b) {
    auto lum = [](QColor c) {
        auto ch = [](double v) {
            v /= 255;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * ch(c.red()) + 0.7152 * ch(c.green()) + 0.0722 * ch(c.blue());
    };
    const double x = lum(a), y = lum(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// The colour in `area` of `image` that differs most from `background`.
QColor TextColour(const QImage& image, const QRect& area, QColor background) {
    QColor best = background;
    double most = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const double k = Contrast(c, background);
            if (k > most) {
                most = k;
                best = c;
            }
        }
    return best;
}

} // namespace

class BaseWindowsTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        for (int w : {1, 2})
            ResultGroupState(w) = ResultGroups{};
        EquationWindow::InputDialogOpener() = {};
    }

    void equationTreeFollowsThePeriod() {
        TestFrame f;
        f.m = test::KeynesianModel();
        test::SetFrom(f.m, 4, {{par::GAut, 130}});
        Solve(f.m);
        Windows w(f);
        w.ModelChanged();
        QCOMPARE(w.e1->ShownPeriod(), 0);
        QCOMPARE(w.e2->ShownPeriod(), 12);
        QCOMPARE(w.e1->Titel->text(), QStringLiteral(" Modellstruktur für t=0"));
        QCOMPARE(ItemCount(w.e1->Tree), static_cast<int>(w.e1->System().Lines.size()));
        QVERIFY(w.e1->Tree->topLevelItem(0)->isExpanded());
        QCOMPARE(w.e2->Tree->topLevelItem(0)->child(0)->child(2)->text(0),
                 QStringLiteral("G = 130"));
        QVERIFY(LineCodes(1).Has(13));

        // Pair 2 follows the current period from now on.
        f.pair2Current = true;
        f.m.Periods.CurrentPeriod = 3;
        w.Send(MSG_ASSIGN_EQ, 2, 0);
        QCOMPARE(w.e2->ShownPeriod(), 3);
        QVERIFY(w.e2->statusTip().startsWith(QStringLiteral("Gleichungssystem für die aktuelle")));
        QVERIFY(w.e1->statusTip().contains(QStringLiteral("linken Rand"))); // window 1 unchanged
        // A move of the right edge leaves window 2 alone; a move of the current period not.
        f.m.Periods.CurrentPeriod = 5;
        w.Send(MSG_PERIOD_MOVED_EQ, 3, 1);
        QCOMPARE(w.e2->ShownPeriod(), 3);
        w.Send(MSG_PERIOD_MOVED_EQ, 2, 1);
        QCOMPARE(w.e2->ShownPeriod(), 5);
        QCOMPARE(w.e1->ShownPeriod(), 0);
    }

    void toggleLanguageAndFont() {
        TestFrame f;
        f.m = test::KeynesianModel();
        Solve(f.m);
        Windows w(f);
        w.ModelChanged();
        QTreeWidget* tree = w.e1->Tree;
        w.e1->Message(MSG_TOGGLE_TREE, 1, 1);
        QVERIFY(!tree->topLevelItem(0)->isExpanded());
        QTest::keyClick(tree, Qt::Key_Return, Qt::ShiftModifier);
        QVERIFY(tree->topLevelItem(0)->isExpanded());
        QTest::mouseDClick(w.e1->Titel, Qt::LeftButton);
        QVERIFY(!tree->topLevelItem(0)->isExpanded());

        QCOMPARE(w.r1->statusTip(),
                 QStringLiteral("Modellergebnisse für den linken Rand des Analyseintervalls und "
                                "Differenzen zur aktuellen Periode (Extraktion/Kontraktion mit "
                                "(UMSCH)+ENTER)"));
        w.Language(2);
        QCOMPARE(w.e1->statusTip(), QStringLiteral("Equation system for the left border of the "
                                                   "analysis interval (expand/collapse with "
                                                   "SHIFT+ENTER)"));
        QVERIFY(w.r2->statusTip().startsWith(QStringLiteral("Model results for the right")));
        QCOMPARE(w.e1->windowTitle(), QStringLiteral("Equation System 1"));
        QCOMPARE(w.r2->windowTitle(), QStringLiteral("Model Results 2"));
        QCOMPARE(tree->topLevelItem(0)->text(0),
                 QStringLiteral("Goods Market: N = X (Equ.-Cond.)"));
        QCOMPARE(w.r1->Table().Headings[0], std::string("Variable"));

        f.font.setPointSize(14);
        w.Send(MSG_SCREEN_FONT, 0, 0);
        QCOMPARE(tree->font().pointSize(), 14);
        QCOMPARE(tree->visualItemRect(tree->topLevelItem(0)).height(), 28);
    }

    void rightDoubleClickOpensTheDialogPage() {
        TestFrame f;
        f.m = test::KeynesianModel();
        Solve(f.m);
        Windows w(f);
        w.ModelChanged();
        int opened = 0;
        EquationWindow::InputDialogOpener() = [&opened](int dialog) { opened = dialog; };
        QTreeWidget* tree = w.e1->Tree;
        auto click = [&](const QString& text) {
            const auto items = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
            QVERIFY(!items.isEmpty());
            const QRect r = tree->visualItemRect(items.first());
            QTest::mouseDClick(tree->viewport(), Qt::RightButton, {}, r.center());
        };
        click(QStringLiteral("I = 100"));
        QCOMPARE(opened, 1);
        QCOMPARE(DialogStartPage()[0], 2);
        opened = 0;
        click(QStringLiteral("N~erw~ = N(-1)"));
        QCOMPARE(opened, 6);
        QCOMPARE(DialogStartPage()[5], 3);
        opened = 0;
        click(QStringLiteral("S = YV~erw~ - C")); // a line without a dialog
        QCOMPARE(opened, 0);
    }

    void resultGroupsOpenAndClose() {
        TestFrame f;
        f.m = test::OpenFlexibleModel();
        Solve(f.m);
        Windows w(f);
        w.ModelChanged();
        QTableWidget* grid = w.r1->Grid;
        QCOMPARE(grid->rowCount(), static_cast<int>(w.r1->Table().Rows.size()));
        QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("Güternachfrage >>"));
        const int closed = grid->rowCount();

        // Enter on a group header opens it and keeps the row.
        grid->setCurrentCell(0, 0);
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("Güternachfrage <<"));
        QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("...Konsum"));
        QCOMPARE(grid->currentRow(), 0);
        QCOMPARE(grid->rowCount(), closed + 4);
        // Window 2 keeps its own state.
        QCOMPARE(w.r2->Grid->item(0, 0)->text(), QStringLiteral("Güternachfrage >>"));

        // Shift+Enter: all groups follow the opposite of group 1.
        QTest::keyClick(grid, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(grid->rowCount(), closed);
        w.r1->ToggleAll();
        for (const ResultRow& r : w.r1->Table().Rows)
            if (r.Header) QVERIFY(QString::fromStdString(r.Label).endsWith(QStringLiteral(" <<")));

        // Numbers: value of the period shown, difference to the other period.
        const int k = w.r1->Table().Find("...Exporte");
        QVERIFY(k >= 0);
        QCOMPARE(grid->item(k, 1)->text().toStdString(), f.m.FormatNumber(f.m.GetVar(0, var::Ex)));
        f.m.DecimalPlaces = 4;
        w.Send(MSG_NUMBER_FORMAT, 2, 1);
        QCOMPARE(grid->item(k, 1)->text().toStdString(), f.m.FormatNumber(f.m.GetVar(0, var::Ex)));
        QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral("Wert (t=0)"));
        QCOMPARE(grid->horizontalHeaderItem(2)->text(), QStringLiteral("t=0 \u2212 t=0"));
        // Columns fill the client width.
        int total = 0;
        for (int c = 0; c < grid->columnCount(); ++c)
            total += grid->columnWidth(c);
        QVERIFY(std::abs(total - grid->viewport()->width()) <= 3);
    }

    void resultRowsFollowTheirEquationWindow() {
        TestFrame f;
        f.m = test::OpenFlexibleModel();
        Solve(f.m);
        // Exports vanish from period 6 on: window 2 (right edge) has no export row.
        test::SetFrom(f.m, 6, {{par::ExAut, 0}, {par::xe, 0}});
        f.m.Switch[21] = 0;
        Solve(f.m);
        Windows w(f);
        w.ModelChanged();
        for (int g = 1; g <= 8; ++g) {
            ResultGroupState(1).Expanded[g] = true;
            ResultGroupState(2).Expanded[g] = true;
        }
        w.ModelChanged();
        QVERIFY(w.r1->Table().Find("...Exporte") >= 0);
        QCOMPARE(w.r2->Table().Find("...Exporte"), -1);
        QCOMPARE(w.e2->System().Find("Ex ="), -1);
    }

    void printingBothWindows() {
        TestFrame f;
        f.m = test::BondMarketModel();
        Solve(f.m);
        Windows w(f);
        w.ModelChanged();
        QTemporaryDir dir;
        for (BaseWindow* win : {static_cast<BaseWindow*>(w.e1), static_cast<BaseWindow*>(w.r1)}) {
            const QString path = dir.filePath(QStringLiteral("out.pdf"));
            f.printer_.setOutputFormat(QPrinter::PdfFormat);
            f.printer_.setOutputFileName(path);
            win->Message(MSG_PRINT, 1, 1);
            QFile pdf(path);
            QVERIFY(pdf.open(QIODevice::ReadOnly));
            const QString text = pdftext::Extract(pdf.readAll());
            if (win == w.e1) {
                QVERIFY2(text.contains(QStringLiteral("Modellstruktur für t=0")), qPrintable(text));
                QVERIFY2(text.contains(QStringLiteral("Arbeitsmarkt")), qPrintable(text));
                QVERIFY2(text.contains(QStringLiteral("Seite: 1")), qPrintable(text));
            } else {
                QVERIFY2(text.contains(QStringLiteral("Güternachfrage")), qPrintable(text));
                QVERIFY2(text.contains(QStringLiteral("Wert (t=0)")), qPrintable(text));
            }
            pdf.close();
            QFile::remove(path);
        }
        // Printed text takes the printer font's colour; pictures for the clipboard stay black.
        f.printColour = QColor(200, 0, 0);
        for (PaintTarget::Kind kind : {PaintTarget::Printer, PaintTarget::Image}) {
            QImage image(600, 400, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter p(&image);
            w.r1->PaintTo({kind, &p, &image, image.rect()});
            p.end();
            bool red = false;
            for (int k = 0; k < 600 * 400 && !red; ++k)
                red = image.pixelColor(k % 600, k / 600).green() < 60 &&
                      image.pixelColor(k % 600, k / 600).red() > 120;
            QCOMPARE(red, kind == PaintTarget::Printer);
        }
    }

    // The columns follow the room that is really left: a vertical scroll bar that appears
    // when groups open, maximising, a large screen font, the other language, longer numbers.
    void resultColumnsFitTheVisibleWidth() {
        TestFrame f;
        f.m = test::OpenFlexibleModel();
        Solve(f.m);
        Windows w(f);
        w.ModelChanged();
        for (ResultWindow* r : {w.r1, w.r2})
            CheckColumnsFit(r, QStringLiteral("start"));

        w.r1->ToggleAll(); // all groups open: more rows than room, a scroll bar appears
        Settle();
        QVERIFY(w.r1->Grid->verticalScrollBar()->isVisible());
        CheckColumnsFit(w.r1, QStringLiteral("groups open"));

        // Arrangements that leave the result windows a quarter or three quarters of the
        // height: the scroll bar comes and goes with the window's new size.
        for (int percent : {150, 50, 100}) {
            w.Send(MSG_ARRANGE_BASE, percent, 0);
            for (ResultWindow* r : {w.r1, w.r2})
                CheckColumnsFit(r, QStringLiteral("arrangement %1").arg(percent));
        }

        const int narrow = w.r1->Grid->columnWidth(1);
        f.area.setActiveSubWindow(w.r1); // the user's maximise button is on the active window
        w.r1->showMaximized();
        CheckColumnsFit(w.r1, QStringLiteral("maximised"));
        QVERIFY(w.r1->Grid->columnWidth(1) > narrow);
        w.r1->showNormal();
        CheckColumnsFit(w.r1, QStringLiteral("normal again"));
        QCOMPARE(w.r1->Grid->columnWidth(1), narrow);

        f.font.setPointSize(16);
        w.Send(MSG_SCREEN_FONT, 0, 0);
        for (ResultWindow* r : {w.r1, w.r2})
            CheckColumnsFit(r, QStringLiteral("screen font 16"));
        w.Language(2);
        for (ResultWindow* r : {w.r1, w.r2})
            CheckColumnsFit(r, QStringLiteral("English, screen font 16"));
        w.r2->ToggleAll();
        f.area.setActiveSubWindow(w.r2);
        w.r2->showMaximized();
        CheckColumnsFit(w.r2, QStringLiteral("maximised, English, screen font 16"));
        w.r2->showNormal();

        f.m.DecimalPlaces = 6;
        w.Send(MSG_NUMBER_FORMAT, 2, 1);
        for (ResultWindow* r : {w.r1, w.r2})
            CheckColumnsFit(r, QStringLiteral("six decimals"));
    }

    // A number or heading that cannot fit even when the labels give up their room reads
    // "<<|>>"; a label that does not fit ends in an ellipsis.
    void tooNarrowResultColumns() {
        TestFrame f;
        f.m = test::OpenFlexibleModel();
        Solve(f.m);
        Windows w(f);
        w.ModelChanged();
        w.r1->resize(160, 280);
        Settle();
        QCOMPARE(w.r1->ShownText(-1, 2), QStringLiteral("<<|>>"));
        const QString label = w.r1->Grid->item(0, 0)->text();
        QVERIFY(w.r1->ShownText(0, 0) != label);
        QVERIFY(w.r1->ShownText(0, 0).endsWith(QChar(0x2026)));
        w.r1->resize(441, 280);
        Settle();
        QCOMPARE(w.r1->ShownText(0, 0), label);
        QCOMPARE(w.r1->ShownText(-1, 2), w.r1->Grid->horizontalHeaderItem(2)->text());
    }

    // The selected equation line reads well: on screen white on dark grey, in the picture
    // and on paper black on a light band.
    void selectedEquationLineIsReadable() {
        TestFrame f;
        f.m = test::KeynesianModel();
        Solve(f.m);
        Windows w(f);
        w.ModelChanged();
        f.area.setActiveSubWindow(w.e1);
        QTreeWidget* tree = w.e1->Tree;
        const auto items =
            tree->findItems(QStringLiteral("G = "), Qt::MatchStartsWith | Qt::MatchRecursive);
        QVERIFY(!items.isEmpty());
        tree->setCurrentItem(items.first());
        QCOMPARE(w.e1->SelectedLine(), w.e1->System().Find("G = "));
        Settle();
        const QImage shot = tree->viewport()->grab().toImage();
        const QRect r = tree->visualItemRect(items.first());
        const QColor fill = shot.pixelColor(r.right() - 2, r.center().y());
        const QColor text = TextColour(shot, r.adjusted(2, 0, -2, 0), fill);
        QVERIFY2(Contrast(fill, text) >= 7,
                 qPrintable(QStringLiteral("%1 on %2").arg(text.name(), fill.name())));
        QVERIFY(fill.lightness() < 128); // still a dark highlight, as users know it
        QCOMPARE(shot.pixelColor(r.left() - 3, r.center().y()), QColor(Qt::white)); // one colour

        // Other lines are drawn in the window's text colour (the screen font's colour).
        QPalette blue = w.e1->widget()->palette();
        blue.setColor(QPalette::Text, QColor(0, 0, 255));
        w.e1->widget()->setPalette(blue);
        const auto other =
            tree->findItems(QStringLiteral("I = "), Qt::MatchStartsWith | Qt::MatchRecursive);
        QVERIFY(!other.isEmpty());
        const QImage plain = tree->viewport()->grab().toImage();
        const QRect o = tree->visualItemRect(other.first());
        QCOMPARE(TextColour(plain, o, Qt::white).blue(), 255);
        QCOMPARE(TextColour(plain, o, Qt::white).red(), 0);

        const QImage picture = w.e1->RenderPicture(600, 400);
        QList<int> band;
        for (int y = 0; y < picture.height(); ++y)
            if (picture.pixelColor(595, y) != QColor(Qt::white)) band.append(y);
        QVERIFY(!band.isEmpty());
        const QColor light = picture.pixelColor(595, band.first());
        QVERIFY(light.lightness() > 200);
        const QColor ink = TextColour(picture, QRect(0, band.first(), 600, band.size()), light);
        QVERIFY2(Contrast(light, ink) >= 7,
                 qPrintable(QStringLiteral("%1 on %2").arg(ink.name(), light.name())));
    }

    // Subscripts written with a comma stay on the line: only "~" raises.
    void commaSymbolsStayOnTheLine() {
        TestFrame f;
        f.m = test::BondMarketModel();
        f.m.Switch[12] = 3; // mark-up pricing with imported inputs
        test::SetAll(f.m, {{par::Pu, 0.5}, {par::iu, 1}, {par::mY, 0.1}});
        Solve(f.m);
        Windows w(f);
        w.ModelChanged();
        for (int language : {1, 2}) {
            w.Language(language);
            QStringList lines;
            for (QTreeWidgetItemIterator it(w.e1->Tree); *it; ++it)
                lines << (*it)->text(0);
            const QString all = lines.join(QLatin1Char('\n'));
            QVERIFY2(lines.contains(QStringLiteral("P >= P,u = 0.5")), qPrintable(all));
            QVERIFY2(all.contains(QStringLiteral(": i,u = 1")), qPrintable(all));
            QVERIFY2(all.contains(QStringLiteral("*e,nom*PA")), qPrintable(all));
            QVERIFY2(!all.contains(QStringLiteral("~u~")) && !all.contains(QStringLiteral("~nom~")),
                     qPrintable(all));
        }
    }

    // The printed result table: heading band, then one text line per row, each a line
    // step below the other; the first row follows the second rule by one line step.
    void resultPrintLineSteps() {
        TestFrame f;
        f.m = test::BondMarketModel();
        Solve(f.m);
        Windows w(f);
        w.ModelChanged();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("results.pdf"));
        f.printer_.setOutputFormat(QPrinter::PdfFormat);
        f.printer_.setOutputFileName(path);
        w.r1->Message(MSG_PRINT, 1, 1);
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QList<pdftext::Placed> placed = pdftext::ExtractPlaced(pdf.readAll());
        const int s = QFontMetrics(f.printerFont(), &f.printer_).height();
        auto yOf = [&](const QString& text) {
            for (const auto& p : placed)
                if (p.text == text) return p.y;
            return -1.0;
        };
        const double heading = yOf(QStringLiteral("Größe"));
        const double first = yOf(QString::fromStdString(w.r1->Table().Rows[0].Label));
        const double second = yOf(QString::fromStdString(w.r1->Table().Rows[1].Label));
        QVERIFY(heading >= 0 && first >= 0 && second >= 0);
        // Heading at rule + s/2, first row at rule + round(1.3 s) + s.
        const double expected = std::lround(1.3 * s) + s - s / 2;
        QVERIFY2(std::abs((first - heading) - expected) < 1.5,
                 qPrintable(QStringLiteral("%1 vs %2").arg(first - heading).arg(expected)));
        QVERIFY(std::abs((second - first) - s) < 1.5);
    }

    // Reports (does not assert) the time of a period change in both equation windows,
    // including the repaint.
    void redrawAfterPeriodChange() {
        TestFrame f;
        f.m = test::OpenFlexibleModel();
        f.m.Switch[12] = 2;
        f.m.Switch[14] = 2;
        Solve(f.m);
        f.pair1Current = f.pair2Current = true;
        Windows w(f);
        w.ModelChanged();
        QElapsedTimer timer;
        const int rounds = 50;
        timer.start();
        for (int k = 0; k < rounds; ++k) {
            f.m.Periods.CurrentPeriod = 1 + k % 10;
            w.e1->Message(MSG_PERIOD_MOVED_EQ, 2, 1);
            w.e2->Message(MSG_PERIOD_MOVED_EQ, 2, 1);
            w.e1->Tree->viewport()->repaint();
            w.e2->Tree->viewport()->repaint();
        }
        const double ms = timer.nsecsElapsed() / 1e6 / rounds;
        qInfo("equation windows: %.3f ms per period change (both windows, rebuild and repaint)",
              ms);
    }

    // A result and an equation window at their default size, maximised and with screen
    // font 16, in both languages, for a look by eye when TERVALIS_SCREENSHOTS names a folder.
    void windowScreenshots() {
        const QString out = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
        if (out.isEmpty()) QSKIP("TERVALIS_SCREENSHOTS not set");
        TestFrame f;
        f.m = test::OpenFlexibleModel();
        f.m.Switch[12] = 3;
        f.m.Switch[14] = 2;
        f.m.Switch[23] = 4;
        test::SetAll(f.m, {{par::jAut, 0.2},
                           {par::jY, 0.1},
                           {par::Pu, 0.1},
                           {par::wu, 0.5},
                           {par::uNat, 5},
                           {par::wgP, 1},
                           {par::iu, 0.5}});
        Solve(f.m);
        f.pair2Current = true;
        f.m.Periods.CurrentPeriod = 6;
        Windows w(f);
        w.ModelChanged();
        w.Send(MSG_ASSIGN_EQ, 2, 0);
        w.Send(MSG_ASSIGN_RES, 2, 0);
        ResultGroupState(2).Expanded.fill(true);
        w.r2->Message(MSG_MODEL_CHANGED, 0, 0);
        const auto line = w.e2->Tree->findItems(QStringLiteral("LSK = "),
                                                Qt::MatchStartsWith | Qt::MatchRecursive);
        if (!line.isEmpty()) w.e2->Tree->setCurrentItem(line.first());
        for (int size : {9, 16}) {
            f.font.setPointSize(size);
            w.Send(MSG_SCREEN_FONT, 0, 0);
            for (int language : {1, 2}) {
                w.Language(language);
                const QString tag =
                    QStringLiteral("-font%1-%2")
                        .arg(size)
                        .arg(language == 1 ? QStringLiteral("de") : QStringLiteral("en"));
                for (BaseWindow* win :
                     {static_cast<BaseWindow*>(w.r2), static_cast<BaseWindow*>(w.e2)}) {
                    const QString name =
                        win == w.r2 ? QStringLiteral("/result2") : QStringLiteral("/equation2");
                    f.area.setActiveSubWindow(win);
                    win->showNormal();
                    Settle();
                    win->grab().save(out + name + tag + QStringLiteral("-default.png"));
                    win->showMaximized();
                    Settle();
                    win->grab().save(out + name + tag + QStringLiteral("-maximised.png"));
                    win->showNormal();
                    Settle();
                }
            }
        }
        w.e2->RenderPicture(900, 1200).save(out + QStringLiteral("/equation2-picture.png"));
    }

    // Pictures for a look by eye when TERVALIS_SCREENSHOTS names a folder.
    void screenshots() {
        const QString out = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
        if (out.isEmpty()) QSKIP("TERVALIS_SCREENSHOTS not set");
        struct {
            const char* name;
            Model model;
        } cases[] = {{"keynes", test::KeynesianModel()}, {"rich", test::OpenFlexibleModel()}};
        cases[1].model.Switch[12] = 2;
        cases[1].model.Switch[14] = 2;
        cases[1].model.Switch[23] = 4;
        test::SetAll(cases[1].model, {{par::jAut, 0.2},
                                      {par::jY, 0.1},
                                      {par::Pu, 0.1},
                                      {par::wu, 0.5},
                                      {par::uNat, 5},
                                      {par::wgP, 1}});
        for (auto& c : cases) {
            TestFrame f;
            f.m = c.model;
            Solve(f.m);
            Windows w(f);
            w.Send(MSG_ARRANGE_BASE, 150, 0);
            w.ModelChanged();
            for (int language : {1, 2}) {
                w.Language(language);
                for (int g = 1; g <= 8; ++g)
                    ResultGroupState(1).Expanded[g] = true;
                w.r1->Message(MSG_MODEL_CHANGED, 0, 0);
                const QString suffix =
                    QString::fromLatin1(c.name) +
                    (language == 1 ? QStringLiteral("-de") : QStringLiteral("-en"));
                for (int percent : {100, 150, 50}) {
                    w.Send(MSG_ARRANGE_BASE, percent, 0);
                    f.area.grab().save(out + QStringLiteral("/base-") + suffix +
                                       QStringLiteral("-%1.png").arg(percent));
                }
                w.e2->resize(700, 900);
                w.e2->grab().save(out + QStringLiteral("/eq2-") + suffix + QStringLiteral(".png"));
                w.Send(MSG_ARRANGE_BASE, 150, 0);
            }
        }
    }

    // Right click on a value, "Warum?": the explanation of that value opens, follows the
    // period and the language, opens its inputs on demand and draws what it shows.
    void whyExplainsTheValueOfARow() {
        TestFrame f;
        f.m = test::KeynesianModel();
        test::SetFrom(f.m, 4, {{par::GAut, 130}});
        Solve(f.m);
        f.pair2Current = true;
        f.m.Periods.CurrentPeriod = 4;
        Windows w(f);
        w.ModelChanged();
        int income = -1, label = -1;
        for (int r = 0; r < static_cast<int>(w.r2->Table().Rows.size()); ++r) {
            if (w.r2->Table().Rows[r].Variable == var::Y) income = r;
            if (w.r2->Table().Rows[r].Variable == 0) label = r;
        }
        QVERIFY(income >= 0);
        // A row without a variable offers no answer.
        if (label >= 0) {
            w.r2->Grid->setCurrentCell(label, 1);
            QVERIFY(!w.r2->WhyEntry->isEnabled());
        }
        w.r2->Grid->setFocus();
        w.r2->Grid->setCurrentCell(income, 1);
        QVERIFY(w.r2->WhyEntry->isEnabled());
        QCOMPARE(w.r2->WhyEntry->text(), QStringLiteral("Warum?"));
        QVERIFY(w.r2->Grid->actions().contains(w.r2->WhyEntry));
        // The right click asks about the row under the mouse, not the one current before.
        if (label >= 0) {
            w.r2->Grid->setCurrentCell(label, 1);
            w.r2->PrepareContextMenu(
                w.r2->Grid->visualRect(w.r2->Grid->model()->index(income, 1)).center());
            QCOMPARE(w.r2->Grid->currentRow(), income);
            QVERIFY(w.r2->WhyEntry->isEnabled());
        }
        // The key does what the entry of the right click does.
        QApplication::setActiveWindow(&f.area);
        QVERIFY(QTest::qWaitForWindowActive(&f.area));
        f.area.setActiveSubWindow(w.r2);
        w.r2->Grid->setFocus();
        QTest::keyClick(w.r2->Grid, Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
        ExplanationWindow* why = nullptr;
        for (QMdiSubWindow* s : f.area.subWindowList())
            if (auto* e = qobject_cast<ExplanationWindow*>(s)) why = e;
        QVERIFY(why);
        QCOMPARE(why->Variable(), var::Y);
        QCOMPARE(why->Period(), 4);
        QCOMPARE(why->ComparedPeriod(), 3);
        QVERIFY(why->windowTitle().startsWith(QStringLiteral("Warum? Y (t=4 gegen t=3)")));
        QTreeWidgetItem* root = why->Tree->topLevelItem(0);
        QVERIFY(root);
        QCOMPARE(root->text(0), QStringLiteral("Y"));
        QCOMPARE(root->text(3), QString::fromStdString(f.m.FormatNumber(f.m.ModelVar(4, var::Y))));
        // The children stand by the size of their contribution; the first opens on demand.
        QVERIFY(root->childCount() > 0);
        QTreeWidgetItem* first = root->child(0);
        QCOMPARE(first->text(0), QStringLiteral("D,erw"));
        QCOMPARE(first->childCount(), 0);
        first->setExpanded(true);
        QVERIFY(first->childCount() > 0);

        // The period moves: the window follows, and what was open stays open.
        f.m.Periods.CurrentPeriod = 6;
        why->Message(MSG_PERIOD_MOVED, 2, 1);
        QCOMPARE(why->Period(), 6);
        QVERIFY(why->Tree->topLevelItem(0)->child(0)->isExpanded());
        QVERIFY(why->windowTitle().contains(QStringLiteral("t=6 gegen t=5")));

        // English, and the same window for the next question.
        f.m.Language = 2;
        why->RefreshLanguage();
        QVERIFY(why->windowTitle().startsWith(QStringLiteral("Why? Y (t=6 against t=5)")));
        QCOMPARE(why->Tree->headerItem()->text(5), QStringLiteral("Contribution"));
        QCOMPARE(OpenExplanation(f, var::C, 2), why);
        QCOMPARE(why->Variable(), var::C);

        // The picture shows the visible rows: one text line per row, bars in two colours.
        const QStringList rows = why->VisibleRows();
        QVERIFY(rows.size() > 1);
        QVERIFY(rows.first().startsWith(QStringLiteral("C\t")));
        QVERIFY(rows[1].startsWith(QStringLiteral("  "))); // one level down
        why->Tree->topLevelItem(0)->setExpanded(false);
        QCOMPARE(why->VisibleRows().size(), 1);
        why->Tree->topLevelItem(0)->setExpanded(true);
        const QImage picture = why->RenderPicture(700, 400);
        bool raising = false;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixelColor(x, y) == QColor(0, 128, 0)) raising = true;
        QVERIFY(raising);
        // Only what changed is shown, the bars end inside the window, and the drivers
        // answer in English symbols.
        for (QTreeWidgetItemIterator it(why->Tree); *it; ++it)
            if ((*it)->parent())
                QVERIFY((*it)->text(4) != QString::fromStdString(f.m.FormatNumber(0)));
        why->resize(640, 300);
        QCoreApplication::processEvents();
        const QHeaderView* header = why->Tree->header();
        QVERIFY(header->sectionPosition(6) + 60 <= why->Tree->viewport()->width());
        OpenExplanation(f, var::YErw, 2);
        QVERIFY(why->windowTitle().startsWith(QStringLiteral("Why? Y,exp")));
        QVERIFY(why->Answer->text().startsWith(QStringLiteral("Y,exp is ")));
        QVERIFY(why->Answer->text().contains(QStringLiteral("G,aut (")));
        QVERIFY(why->DriversView->topLevelItemCount() > 0);
        QCOMPARE(why->DriversView->topLevelItem(0)->text(0), QStringLiteral("G,aut"));

        // A change of the model while solving: the window says so, then follows.
        f.solvingNow = true;
        test::SetFrom(f.m, 4, {{par::GAut, 140}});
        why->Message(MSG_MODEL_CHANGED, 1, 1);
        QVERIFY(why->Answer->text().contains(QStringLiteral("being solved")));
        Solve(f.m);
        f.solvingNow = false;
        QTRY_VERIFY(why->Answer->text().contains(QString::fromStdString(f.m.FormatNumber(40))));

        // Period 0 has no period before it: the window says so, in full, instead of a tree.
        f.m.Periods.CurrentPeriod = 0;
        why->Message(MSG_PERIOD_MOVED, 2, 1);
        QCOMPARE(why->Tree->topLevelItemCount(), 0);
        QCOMPARE(why->Answer->text(), QStringLiteral("Period 0 has no previous period."));
        QVERIFY(why->Answer->wordWrap());

        // Asked for drivers (as other windows do): against the baseline, drivers in front.
        const Baseline frozen(f.m);
        f.frozen = &frozen;
        OpenDrivers(f, var::Y, 6);
        QCOMPARE(why->ComparedPeriod(), -1);
        QCOMPARE(why->Views->currentWidget(), why->DriversView);
        f.frozen = nullptr;
    }

    // Pictures of the explanation window in both languages (not a test).
    void explanationScreenshots() {
        const QString out = qEnvironmentVariable("TERVALIS_SCREENSHOTS");
        if (out.isEmpty()) QSKIP("TERVALIS_SCREENSHOTS not set");
        TestFrame f;
        f.m = test::BondMarketModel();
        test::SetFrom(f.m, 4, {{par::GAut, 260}});
        Solve(f.m);
        f.pair2Current = true;
        f.m.Periods.CurrentPeriod = 5;
        Windows w(f);
        w.ModelChanged();
        f.m.Periods.CurrentPeriod = 12;
        ExplanationWindow* why = OpenExplanation(f, var::Y, 2);
        why->resize(900, 420);
        // Down to a lagged value and into its own period.
        for (QTreeWidgetItem* item = why->Tree->topLevelItem(0); item && item->childCount();
             item = item->child(0))
            item->child(0)->setExpanded(true);
        for (int language : {1, 2}) {
            f.m.Language = static_cast<uint8_t>(language);
            why->RefreshLanguage();
            const QString suffix = language == 1 ? QStringLiteral("de") : QStringLiteral("en");
            why->grab().save(out + QStringLiteral("/why-") + suffix + QStringLiteral(".png"));
            why->Views->setCurrentWidget(why->DriversView);
            why->DriversView->expandAll();
            why->grab().save(out + QStringLiteral("/why-drivers-") + suffix +
                             QStringLiteral(".png"));
            why->Views->setCurrentWidget(why->Tree);
            why->RenderPicture(900, 420).save(out + QStringLiteral("/why-picture-") + suffix +
                                              QStringLiteral(".png"));
        }
    }
};

QTEST_MAIN(BaseWindowsTest)
#include "BaseWindowsTest.moc"
