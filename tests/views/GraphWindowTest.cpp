// The graph window base with a sample diagram: one drawing path for screen, black-and-white
// copy and PDF, zoom by mouse, the solution-run guard, language and graph options; and the
// graph options dialog.

#include "PdfText.h"

#include "core/Model.h"
#include "core/UserHost.h"
#include "logic/Settings.h"
#include "services/WindowFrame.h"
#include "views/GraphOptionsDialog.h"
#include "views/GraphWindow.h"
#include "views/PaintBox.h"

#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

using namespace tv;

namespace {

class MessageHost : public SilentHost {
  public:
    void ShowMessage(const std::string& title, const std::string& text,
                     const std::string&) override {
        messages.push_back(title + " | " + text);
    }
    void PlaySound(const std::string& wave) override { sounds.push_back(wave); }
    std::vector<std::string> messages, sounds;
};

class TestFrame : public WindowFrame {
  public:
    TestFrame() {
        area.resize(900, 700);
        area.show();
    }
    Model& model() override { return m; }
    UserHost& host() override { return messages; }
    QMdiArea* mdiArea() override { return &area; }
    QRect baseArea() const override { return {0, 0, 800, 600}; }
    QPrinter& printer() override { return printer_; }
    QFont printerFont() const override { return QFont(QStringLiteral("DejaVu Sans"), 10); }
    QFont screenFont() const override { return QFont(); }
    QString modelBaseName() const override { return QStringLiteral("NEU"); }
    int assignedPeriod(int) const override { return 0; }
    const Settings* userSettings() const override { return &settings; }
    bool solving() const override { return busy; }

    Model m;
    MessageHost messages;
    QMdiArea area;
    QPrinter printer_{QPrinter::HighResolution};
    Settings settings;
    bool busy = false;
};

// Income 0..1234 against a rate 0..0.95, a reference line, a current curve and a path of
// many short segments, one of them through a value that is not a number.
class SampleDiagram : public GraphWindow {
  public:
    explicit SampleDiagram(WindowFrame& f) : GraphWindow(f, "Beispielgrafik##Sample Diagram") {
        AddCoordinateSystem(cs);
    }
    void DrawDiagram(const GraphPaint& g) override {
        ++draws;
        cs.FixedXMin = 0, cs.FixedXMax = 1234, cs.FixedYMin = 0, cs.FixedYMax = 0.95;
        cs.AutoXMin = 400, cs.AutoXMax = 800, cs.AutoYMin = 0.2, cs.AutoYMax = 0.6;
        TakeRange(cs);
        cs.XTitle = Tr("Einkommen##Income") + " (Y)#";
        cs.YTitle = Tr("Zins##Interest") + " (i)#%";
        if (!BeginFrame(cs, g)) return;
        ++frames;
        UsePen(cs, CurveKind::Reference);
        cs.DrawSegment(0, 0, 1234, 0.95);
        UsePen(cs, CurveKind::Current);
        cs.DrawSegmentExitLabel("IS", 0, 0.9, 2500, 0.1);
        UsePen(cs, CurveKind::Path);
        for (int i = 0; i < 200; ++i)
            cs.DrawSegment(i * 6.0, 0.5, i * 6.0 + 3, i == 100 ? std::nan("") : 0.55);
    }
    CoordinateSystem cs;
    int draws = 0, frames = 0;
};

// Two plots side by side, as the derivation windows have them.
class TwoPlots : public GraphWindow {
  public:
    explicit TwoPlots(WindowFrame& f) : GraphWindow(f, "Zwei##Two") {
        AddCoordinateSystem(left);
        AddCoordinateSystem(right);
    }
    void DrawDiagram(const GraphPaint& g) override {
        for (CoordinateSystem* cs : {&left, &right}) {
            cs->FixedXMin = 0, cs->FixedXMax = 10, cs->FixedYMin = 0, cs->FixedYMax = 10;
            TakeRange(*cs);
        }
        BeginFrame(left, g, {0, 0, 5000, 10000});
        BeginFrame(right, g, {5000, 0, 5000, 10000});
    }
    CoordinateSystem left, right;
};

bool HasColour(const QImage& image, QColor colour, QRect area = {}) {
    if (area.isNull()) area = image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y).rgb() == colour.rgb()) return true;
    return false;
}

bool OnlyGreys(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() != c.green() || c.green() != c.blue()) return false;
        }
    return true;
}

QRect BoxRect(const CoordinateSystem& cs) {
    const DeviceRect r = cs.PlotBox();
    return QRect(QPoint(r.Left + 2, r.Top + 2), QPoint(r.Right - 2, r.Bottom - 2));
}

} // namespace

class GraphWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void screenShowsColoursAndBackground();
    void copyIsBlackAndWhite();
    void emptyTargetsDrawNothing();
    void printsToPdf();
    void mouseBandZoomsAndUndoRestores();
    void bandZoomsThePlotItStartsIn();
    void popupMenuOffersWhatTheWindowHas();
    void noSamplingDuringASolutionRun();
    void languageAndOptionsRedraw();
    void optionsDialogRefusesInvisibleCurves();
};

void GraphWindowTest::screenShowsColoursAndBackground() {
    TestFrame f;
    f.settings.BackgroundColour = 0xC0FFFF; // light yellow, BGR
    auto* w = WorkingWindow::Create<SampleDiagram>(f);
    f.area.addSubWindow(w);
    w->resize(700, 500);
    w->show();
    w->Box()->grab();
    const QImage& picture = w->Box()->Picture();
    if (qEnvironmentVariableIsSet("GRAPH_PNG")) picture.save(qEnvironmentVariable("GRAPH_PNG"));
    QCOMPARE(picture.size(), w->Box()->size());
    QVERIFY(w->frames >= 1);
    const QRect box = BoxRect(w->cs);
    QVERIFY(HasColour(picture, QColor(0xFF, 0xFF, 0xC0), box)); // background
    QVERIFY(HasColour(picture, QColor(Qt::red), box));          // adjustment path
    QVERIFY(HasColour(picture, QColor(Qt::black), box));        // current curve
    QCOMPARE(w->cs.XScale().Labels.back(), std::string("2"));

    // The 1:1 copy is the visible picture.
    w->Box()->CopyItem->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().size(), picture.size());
}

void GraphWindowTest::copyIsBlackAndWhite() {
    TestFrame f;
    auto* w = WorkingWindow::Create<SampleDiagram>(f);
    f.area.addSubWindow(w);
    w->show();
    w->Box()->grab();
    const CoordinateSystem screen = w->cs;
    const QImage copy = w->RenderPicture(1000, 700);
    QCOMPARE(copy.size(), QSize(1000, 700));
    QVERIFY(OnlyGreys(copy));
    QVERIFY(HasColour(copy, QColor(Qt::black)));
    // The copy leaves the screen's mapping for read-outs and zoom alone.
    QCOMPARE(w->cs.DeviceWidth, screen.DeviceWidth);
    QCOMPARE(w->cs.PlotLeft, screen.PlotLeft);

    // The menu's black-and-white copy goes through the window's message.
    w->Box()->CopyMonochromeItem->trigger();
    const QImage clip = QGuiApplication::clipboard()->image();
    QCOMPARE(clip.size(), w->Box()->size());
    QVERIFY(OnlyGreys(clip));
}

void GraphWindowTest::emptyTargetsDrawNothing() {
    TestFrame f;
    auto* w = WorkingWindow::Create<SampleDiagram>(f);
    f.area.addSubWindow(w);
    w->show();
    const int frames = w->frames;
    QVERIFY(w->RenderPicture(0, 0).isNull());
    QVERIFY(w->RenderPicture(0, 300).isNull());
    w->Box()->resize(0, 0);
    w->Box()->grab();
    QCOMPARE(w->frames, frames);
    // A window too small for the axis labels draws its background only.
    w->Box()->resize(12, 8);
    w->Box()->grab();
    QCOMPARE(w->frames, frames);
}

void GraphWindowTest::printsToPdf() {
    QTemporaryDir dir;
    TestFrame f;
    const QString file = dir.filePath(QStringLiteral("graph.pdf"));
    f.printer_.setOutputFormat(QPrinter::PdfFormat);
    f.printer_.setOutputFileName(file);
    auto* w = WorkingWindow::Create<SampleDiagram>(f);
    f.area.addSubWindow(w);
    w->show();
    w->Message(MSG_PRINT, 1, 1);
    QFile pdf(file);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QString text = pdftext::Extract(pdf.readAll());
    for (const char* s :
         {"Beispielgra", "Einkommen (Y) in 1000", "Zins (i) in 0.1%", "0.25", "1.75", "IS"})
        QVERIFY2(text.contains(QString::fromUtf8(s)),
                 qPrintable(QString::fromUtf8(s) + ": " + text));
    QVERIFY(!text.contains(QStringLiteral("Zoom")));
}

void GraphWindowTest::mouseBandZoomsAndUndoRestores() {
    TestFrame f;
    auto* w = WorkingWindow::Create<SampleDiagram>(f);
    f.area.addSubWindow(w);
    w->resize(700, 500);
    w->show();
    PaintBox* box = w->Box();
    box->grab();
    const QPoint from(w->cs.WorldToDeviceX(250), w->cs.WorldToDeviceY(0.8));
    const QPoint to(w->cs.WorldToDeviceX(750), w->cs.WorldToDeviceY(0.4));

    // A click is no band.
    QTest::mousePress(box, Qt::LeftButton, {}, from);
    QTest::mouseRelease(box, Qt::LeftButton, {}, from + QPoint(2, 2));
    QVERIFY(!w->cs.Zoomed);

    QTest::mousePress(box, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), box->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &move);
    QVERIFY(box->Dragging());
    QTest::mouseRelease(box, Qt::LeftButton, {}, to);
    QVERIFY(w->cs.Zoomed);
    box->grab();
    QVERIFY(!w->cs.ZoomPending);
    QVERIFY(std::abs(w->cs.XMin - 250) < 10);
    QVERIFY(std::abs(w->cs.XMax - 750) < 10);
    QVERIFY(std::abs(w->cs.YMin - 0.4) < 0.01);
    QCOMPARE(w->cs.XAxisMax, 800.0);
    // "Zoom" at the top right, black on a white patch: legible on the window's grey.
    const QImage& zoomed = box->Picture();
    QVERIFY(HasColour(zoomed, Qt::white, QRect(zoomed.width() - 40, 0, 40, 30)));
    QVERIFY(HasColour(zoomed, Qt::black, QRect(zoomed.width() - 40, 0, 40, 30)));

    box->UndoZoomItem->trigger();
    box->grab();
    QVERIFY(!w->cs.Zoomed);
    QCOMPARE(w->cs.XAxisMax, 2000.0);

    // Automatic ranges: the tight range set.
    box->AutoZoomItem->setChecked(true);
    w->Message(MSG_ZOOM, 2, 0);
    box->grab();
    QVERIFY(w->cs.AutoRange);
    QCOMPARE(w->cs.XMin, 400.0);
    // Undo without a zoom in force does nothing.
    const int draws = w->draws;
    w->Message(MSG_ZOOM, 0, 0);
    QCoreApplication::processEvents();
    QCOMPARE(w->draws, draws);
}

void GraphWindowTest::bandZoomsThePlotItStartsIn() {
    TestFrame f;
    auto* w = WorkingWindow::Create<TwoPlots>(f);
    f.area.addSubWindow(w);
    w->resize(800, 400);
    w->show();
    PaintBox* box = w->Box();
    box->grab();
    const QPoint from(w->right.WorldToDeviceX(2), w->right.WorldToDeviceY(8));
    const QPoint to(w->right.WorldToDeviceX(6), w->right.WorldToDeviceY(4));
    QVERIFY(from.x() > box->width() / 2);
    QTest::mousePress(box, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), box->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &move);
    QTest::mouseRelease(box, Qt::LeftButton, {}, to);
    box->grab();
    QVERIFY(!w->left.Zoomed);
    QCOMPARE(w->left.XMax, 10.0);
    QVERIFY(w->right.Zoomed);
    QVERIFY(std::abs(w->right.XMin - 2) < 0.1);
    QVERIFY(std::abs(w->right.XMax - 6) < 0.1);
}

void GraphWindowTest::popupMenuOffersWhatTheWindowHas() {
    TestFrame f;
    auto* w = WorkingWindow::Create<SampleDiagram>(f);
    f.area.addSubWindow(w);
    w->show();
    PaintBox* box = w->Box();
    emit box->Menu->aboutToShow();
    QCOMPARE(box->UndoZoomItem->text(), QStringLiteral("Zoom aufheben"));
    QVERIFY(!box->AutoZoomItem->isVisible());
    QVERIFY(!box->PositionItem->isVisible());
    QVERIFY(!w->CopyDataItem->isVisible() && !w->SaveDataItem->isVisible()); // no numbers
    QWidget form;
    box->PositionForm = &form;
    emit box->Menu->aboutToShow();
    QVERIFY(box->PositionItem->isVisible());
    box->PositionItem->trigger();
    QVERIFY(form.isVisible());
    QCOMPARE(box->cursor().shape(), Qt::CrossCursor);
    emit box->Menu->aboutToShow();
    QVERIFY(box->PositionItem->isChecked());
    box->PositionItem->trigger();
    QVERIFY(!form.isVisible());
    QCOMPARE(box->cursor().shape(), Qt::ArrowCursor);
}

void GraphWindowTest::noSamplingDuringASolutionRun() {
    QTemporaryDir dir;
    TestFrame f;
    f.printer_.setOutputFormat(QPrinter::PdfFormat);
    f.printer_.setOutputFileName(dir.filePath(QStringLiteral("busy.pdf")));
    auto* w = WorkingWindow::Create<SampleDiagram>(f);
    f.area.addSubWindow(w);
    w->show();
    w->Box()->grab();
    const QImage before = w->Box()->Picture();
    const int draws = w->draws;
    f.busy = true;
    w->Message(MSG_MODEL_CHANGED, 1, 1);
    w->Box()->grab();
    w->RenderPicture(200, 100);
    w->Message(MSG_PRINT, 1, 1);
    QCOMPARE(w->draws, draws);
    QCOMPARE(w->Box()->Picture(), before); // the last picture stays on the screen
    f.busy = false;
    w->Message(MSG_MODEL_CHANGED, 1, 1);
    w->Box()->grab();
    QCOMPARE(w->draws, draws + 1);
}

void GraphWindowTest::languageAndOptionsRedraw() {
    TestFrame f;
    auto* w = WorkingWindow::Create<SampleDiagram>(f);
    f.area.addSubWindow(w);
    w->show();
    QCOMPARE(w->windowTitle(), QStringLiteral("Beispielgrafik"));
    f.m.Language = 2;
    w->RefreshLanguage();
    QCOMPARE(w->windowTitle(), QStringLiteral("Sample Diagram"));
    w->Box()->grab();
    QCOMPARE(w->cs.XTitle, std::string("Income (Y)#"));
    emit w->Box()->Menu->aboutToShow();
    QCOMPARE(w->Box()->UndoZoomItem->text(), QStringLiteral("Undo zoom"));
    QVERIFY(!w->Box()->PositionItem->isVisible());

    f.settings.BackgroundColour = 0x00FF00; // green
    w->Message(MSG_GRAPH_OPTIONS, 1, 1);
    w->Box()->grab();
    QVERIFY(HasColour(w->Box()->Picture(), QColor(Qt::green), BoxRect(w->cs)));
}

void GraphWindowTest::optionsDialogRefusesInvisibleCurves() {
    MessageHost host;
    GraphStyle style;
    GraphOptionsDialog dialog(style, 1, host);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Grafikdarstellung"));
    QCOMPARE(dialog.Items->count(), 4);

    // The diagrams' text size: 8 points unless chosen, 6 to 24.
    QCOMPARE(dialog.TextSizeBox->value(), 8);
    QCOMPARE(dialog.TextSizeBox->maximum(), 24);
    dialog.TextSizeBox->setValue(16);
    QCOMPARE(dialog.Style().TextSize, 16);

    dialog.SelectItem(1); // current-period curves
    QVERIFY(dialog.WidthGroup->isEnabled());
    QVERIFY(dialog.ThickButton->isChecked());
    dialog.ThinButton->click();
    QCOMPARE(dialog.Style().Widths[1], 1);
    QVERIFY(!dialog.SetColour(White));
    QCOMPARE(dialog.Style().Colours[1], Black);
    QCOMPARE(host.sounds, std::vector<std::string>{"SoNicht.wav"});
    QCOMPARE(host.messages.size(), size_t(1));
    QVERIFY(host.messages[0].find("(Kurven für aktuelle Periode)") != std::string::npos);

    dialog.SelectItem(3); // background
    QVERIFY(!dialog.WidthGroup->isEnabled());
    dialog.colourProvider = [](const QColor&) { return std::optional<QColor>(Qt::red); };
    dialog.ChangeColourButton->click(); // red is the adjustment path's colour
    QCOMPARE(dialog.Style().BackgroundColour(), White);
    QVERIFY(host.messages[1].find("(Anpassungsprozesse/Herleitungen)") != std::string::npos);
    dialog.colourProvider = [](const QColor&) { return std::optional<QColor>(QColor(1, 2, 3)); };
    dialog.ChangeColourButton->click();
    QCOMPARE(dialog.Style().BackgroundColour(), Colour(0x030201));
    QCOMPARE(style.BackgroundColour(), White); // the caller's style is a copy
}

QTEST_MAIN(GraphWindowTest)
#include "GraphWindowTest.moc"
