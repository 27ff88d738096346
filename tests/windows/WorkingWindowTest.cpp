// The working-window base: lifetime, activation, the base arrangement, printing and the
// picture on the clipboard.

#include "PdfText.h"

#include "core/Model.h"
#include "core/UserHost.h"
#include "services/WindowFrame.h"
#include "windows/BaseArrangement.h"
#include "windows/WorkingWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMdiArea>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

namespace {

class TestFrame : public WindowFrame {
  public:
    TestFrame() {
        area.resize(900, 700);
        area.show();
    }
    Model& model() override { return m; }
    UserHost& host() override { return silent; }
    QMdiArea* mdiArea() override { return &area; }
    QRect baseArea() const override { return base; }
    QPrinter& printer() override { return printer_; }
    QFont printerFont() const override { return QFont(QStringLiteral("DejaVu Sans"), 10); }
    QFont screenFont() const override { return QFont(); }
    QString modelBaseName() const override { return QStringLiteral("NEU"); }
    int assignedPeriod(int) const override { return 0; }

    Model m;
    SilentHost silent;
    QMdiArea area;
    QRect base{0, 0, 800, 600};
    QPrinter printer_{QPrinter::HighResolution};
};

// A working window that counts its language refreshes and records how it was painted.
class Probe : public WorkingWindow {
  public:
    Probe(WindowFrame& f, const QString& caption) : WorkingWindow(f) {
        setWindowTitle(caption);
        setWidget(new QWidget);
    }
    void RefreshLanguage() override { ++refreshes; }
    void PaintTo(const PaintTarget& t) override {
        kinds.append(t.kind);
        body = t.body;
        if (t.painter)
            t.painter->drawText(t.body.topLeft() + QPoint(0, 200), QStringLiteral("Inhalt"));
    }
    int refreshes = 0;
    QList<PaintTarget::Kind> kinds;
    QRect body;
};

class ProbeBase : public BaseWindow {
  public:
    ProbeBase(WindowFrame& f, const QString& caption) : BaseWindow(f) {
        setWindowTitle(caption);
        setWidget(new QWidget);
    }
    void RefreshLanguage() override { ++refreshes; }
    int refreshes = 0;
};

} // namespace

class WorkingWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void messageNumbers();
    void arrangementGeometry_data();
    void arrangementGeometry();
    void baseWindowsKnowThemselvesByCaption();
    void constructionRefreshesOnlyOrdinaryWindows();
    void closingMinimisesBaseWindowsAndDestroysOthers();
    void reactivatedWindowReturnsToNormal();
    void minimiseMessage();
    void arrangeMessageTilesTheFourBaseWindows();
    void printWritesHeaderBodyAndFooter();
    void printFailureIsReported();
    void copyPictureHasTheRequestedSize();
};

void WorkingWindowTest::messageNumbers() {
    QCOMPARE(int(MSG_COPY_PICTURE), 1025);
    QCOMPARE(int(MSG_MINIMIZE), 1124);
    QCOMPARE(int(MSG_MODEL_CHANGED), 1128);
    QCOMPARE(int(MSG_NUMBER_FORMAT), 1133);
    QCOMPARE(int(MSG_PRINT), 1136);
    QCOMPARE(int(MSG_ASSIGN_RES), 1138);
    QCOMPARE(int(MSG_NFX_MONITOR), 1139); // also the rule monitors' refresh after solving
    QCOMPARE(QString::fromLatin1(MessageName(MSG_ARRANGE_BASE)),
             QStringLiteral("MSG_ARRANGE_BASE"));
}

void WorkingWindowTest::arrangementGeometry_data() {
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("eqHeight");
    QTest::addColumn<int>("resTop");
    QTest::addColumn<int>("resHeight");
    // Free client area 800 x 600.
    QTest::newRow("equal") << 100 << 298 << 298 << 298;
    QTest::newRow("equations") << 150 << 448 << 448 << 148;
    QTest::newRow("results") << 50 << 148 << 148 << 448;
}

void WorkingWindowTest::arrangementGeometry() {
    QFETCH(int, percent);
    QFETCH(int, eqHeight);
    QFETCH(int, resTop);
    QFETCH(int, resHeight);
    const auto e1 = BaseArrangement(BaseWindowRole::Equations1, 0, 0, 800, 600, percent);
    const auto e2 = BaseArrangement(BaseWindowRole::Equations2, 0, 0, 800, 600, percent);
    const auto r1 = BaseArrangement(BaseWindowRole::Results1, 0, 0, 800, 600, percent);
    const auto r2 = BaseArrangement(BaseWindowRole::Results2, 0, 0, 800, 600, percent);
    QCOMPARE(e1, (WindowRect{0, 0, 398, eqHeight}));
    QCOMPARE(e2, (WindowRect{398, 0, 398, eqHeight}));
    QCOMPARE(r1, (WindowRect{0, resTop, 398, resHeight}));
    QCOMPARE(r2, (WindowRect{398, resTop, 398, resHeight}));
}

void WorkingWindowTest::baseWindowsKnowThemselvesByCaption() {
    QCOMPARE(BaseWindowFromCaption("Gleichungssystem 1"), BaseWindowRole::Equations1);
    QCOMPARE(BaseWindowFromCaption("Model Results 2"), BaseWindowRole::Results2);
    QCOMPARE(BaseWindowFromCaption("Gleichungssystem 1##Equation System 1"), BaseWindowRole::None);
    QCOMPARE(BaseWindowFromCaption("Modellergebnisse 3"), BaseWindowRole::None);
    QCOMPARE(BaseWindowPair(BaseWindowRole::Results1), 1);
    QCOMPARE(BaseWindowPair(BaseWindowRole::Equations2), 2);
    // Odd widths and heights: halves round to even, the rest goes to the right and bottom.
    QCOMPARE(BaseArrangement(BaseWindowRole::Equations2, 0, 0, 801, 601, 100),
             (WindowRect{398, 0, 399, 298}));
    QCOMPARE(BaseArrangement(BaseWindowRole::Results2, 0, 0, 803, 602, 150),
             (WindowRect{400, 450, 399, 148}));
}

void WorkingWindowTest::constructionRefreshesOnlyOrdinaryWindows() {
    TestFrame f;
    auto* ordinary = WorkingWindow::Create<Probe>(f, QStringLiteral("Tabelle"));
    auto* base = WorkingWindow::Create<ProbeBase>(f, QStringLiteral("Gleichungssystem 1"));
    QCOMPARE(ordinary->refreshes, 1);
    QCOMPARE(base->refreshes, 0);
    QVERIFY(!ordinary->IsBaseWindow);
    QVERIFY(base->IsBaseWindow);
    f.area.addSubWindow(ordinary);
    f.area.addSubWindow(base);
    ordinary->show();
    base->show();
    QCOMPARE(ordinary->refreshes, 2); // showing refreshes again
    QCOMPARE(base->refreshes, 0);
}

void WorkingWindowTest::closingMinimisesBaseWindowsAndDestroysOthers() {
    TestFrame f;
    QPointer<WorkingWindow> base = CreateBaseWindow(BaseWindowRole::Results1, f);
    QPointer<WorkingWindow> other = WorkingWindow::Create<Probe>(f, QStringLiteral("Grafik"));
    f.area.addSubWindow(base);
    f.area.addSubWindow(other);
    base->show();
    other->show();
    QVERIFY(base->close() == false);
    QVERIFY(base->isMinimized());
    QVERIFY(base->isVisible());
    QVERIFY(base->widget() != nullptr); // the content survives
    other->close();
    QTRY_VERIFY(other.isNull());
    QVERIFY(!base.isNull());
    QCOMPARE(f.area.subWindowList().size(), 1);
}

void WorkingWindowTest::reactivatedWindowReturnsToNormal() {
    TestFrame f;
    auto* a = WorkingWindow::Create<Probe>(f, QStringLiteral("A"));
    auto* b = WorkingWindow::Create<Probe>(f, QStringLiteral("B"));
    f.area.addSubWindow(a);
    f.area.addSubWindow(b);
    a->show();
    b->show();
    f.area.setActiveSubWindow(a);
    f.area.setActiveSubWindow(b); // a is left in normal state
    QCOMPARE(a->SavedWindowState, Qt::WindowStates(Qt::WindowNoState));
    b->showMaximized();
    f.area.setActiveSubWindow(a);
    QVERIFY(!a->isMaximized());
}

void WorkingWindowTest::minimiseMessage() {
    TestFrame f;
    auto* a = WorkingWindow::Create<Probe>(f, QStringLiteral("A"));
    auto* b = WorkingWindow::Create<Probe>(f, QStringLiteral("B"));
    f.area.addSubWindow(a);
    f.area.addSubWindow(b);
    a->show();
    b->show();
    f.area.setActiveSubWindow(b);
    a->Message(MSG_MINIMIZE, 0, 0);
    QVERIFY(a->isMinimized());
    QCOMPARE(a->SavedWindowState, Qt::WindowStates(Qt::WindowMinimized));
    QVERIFY(b->isMinimized()); // the frame's active child goes with it
}

void WorkingWindowTest::arrangeMessageTilesTheFourBaseWindows() {
    TestFrame f;
    QList<BaseWindow*> windows;
    for (BaseWindowRole w : {BaseWindowRole::Results2, BaseWindowRole::Equations2,
                             BaseWindowRole::Results1, BaseWindowRole::Equations1}) {
        windows.append(CreateBaseWindow(w, f));
        f.area.addSubWindow(windows.back());
        windows.back()->show();
    }
    auto* other = WorkingWindow::Create<Probe>(f, QStringLiteral("Tabelle"));
    f.area.addSubWindow(other);
    other->show();
    const QRect before = other->geometry();
    windows[0]->showMaximized();
    for (auto* s : f.area.subWindowList())
        static_cast<WorkingWindow*>(s)->Message(MSG_ARRANGE_BASE, 150, 0);
    QCOMPARE(windows[3]->geometry(), QRect(0, 0, 398, 448));     // equation system 1
    QCOMPARE(windows[1]->geometry(), QRect(398, 0, 398, 448));   // equation system 2
    QCOMPARE(windows[2]->geometry(), QRect(0, 448, 398, 148));   // model results 1
    QCOMPARE(windows[0]->geometry(), QRect(398, 448, 398, 148)); // model results 2
    QVERIFY(!windows[0]->isMaximized());
    QCOMPARE(other->geometry(), before); // only base windows take part
}

void WorkingWindowTest::printWritesHeaderBodyAndFooter() {
    QTemporaryDir dir;
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("KEEP_PDF"));
    TestFrame f;
    const QString file = dir.filePath(QStringLiteral("page.pdf"));
    f.printer_.setOutputFormat(QPrinter::PdfFormat);
    f.printer_.setOutputFileName(file);
    auto* w = WorkingWindow::Create<Probe>(f, QStringLiteral("Gleichungssystem 1"));
    f.area.addSubWindow(w);
    w->show();
    w->Message(MSG_PRINT, 1, 1);
    QCOMPARE(w->kinds, QList<PaintTarget::Kind>{PaintTarget::Printer});
    QCOMPARE(f.printer_.docName(), QStringLiteral("TERVALIS 5.1: Gleichungssystem 1"));
    QFile pdf(file);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QString text = pdftext::Extract(pdf.readAll());
    QVERIFY2(text.contains(QStringLiteral("Gleichungssystem 1")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Inhalt")), qPrintable(text));
    const QRegularExpression footer(QStringLiteral(
        "Quelle: TERVALIS 5\\.1, Modell: \"NEU\" \\(Druckdatum: \\d\\d\\.\\d\\d\\.\\d{4}; "
        "Druckzeit: \\d\\d:\\d\\d:\\d\\d\\)"));
    QVERIFY2(footer.match(text).hasMatch(), qPrintable(text));
    // The body lies between title and footer.
    QVERIFY(w->body.top() > 0);
    QVERIFY(w->body.bottom() < f.printer_.height());
}

void WorkingWindowTest::printFailureIsReported() {
    struct Host : SilentHost {
        void ShowMessage(const std::string& t, const std::string&, const std::string&) override {
            titles.push_back(t);
        }
        std::vector<std::string> titles;
    } host;
    struct Frame : TestFrame {
        UserHost& host() override { return *h; }
        UserHost* h = nullptr;
    } f;
    f.h = &host;
    f.printer_.setOutputFormat(QPrinter::PdfFormat);
    f.printer_.setOutputFileName(QStringLiteral("/nonexistent-dir/x/page.pdf"));
    auto* w = WorkingWindow::Create<Probe>(f, QStringLiteral("Tabelle"));
    w->Message(MSG_PRINT, 1, 1);
    QCOMPARE(host.titles.size(), size_t(1));
    QVERIFY(w->kinds.isEmpty());
}

void WorkingWindowTest::copyPictureHasTheRequestedSize() {
    TestFrame f;
    auto* w = WorkingWindow::Create<Probe>(f, QStringLiteral("Grafik"));
    w->Message(MSG_COPY_PICTURE, 320, 200);
    QCOMPARE(w->kinds, QList<PaintTarget::Kind>{PaintTarget::Image});
    QCOMPARE(w->body, QRect(0, 0, 320, 200));
    const QImage image = QGuiApplication::clipboard()->image();
    QCOMPARE(image.size(), QSize(320, 200));
    w->kinds.clear();
    w->Message(MSG_COPY_PICTURE, 0, 0);
    QCOMPARE(w->kinds, QList<PaintTarget::Kind>{PaintTarget::Image});
    QVERIFY(QGuiApplication::clipboard()->image().isNull());
}

QTEST_MAIN(WorkingWindowTest)
#include "WorkingWindowTest.moc"
