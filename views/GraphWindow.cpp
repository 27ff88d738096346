#include "views/GraphWindow.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/UserHost.h"
#include "logic/Settings.h"
#include "services/WindowFrame.h"
#include "views/PaintBox.h"
#include "views/QtGraphCanvas.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QPaintDevice>
#include <QPainter>
#include <QSaveFile>

namespace tv {

Viewport GraphPaint::Standard() const {
    if (Target == GraphTarget::Printer) return {500, 500, 9500, 9000};
    return {};
}

Viewport GraphPaint::Narrow() const {
    if (Target == GraphTarget::Printer) return {500, 500, 9000, 9000};
    return {};
}

GraphWindow::GraphWindow(WindowFrame& frame, std::string caption)
    : WorkingWindow(frame), caption_(std::move(caption)) {
    setWindowTitle(QString::fromStdString(Translate(caption_, 1)));
    box_ = new PaintBox;
    box_->Render = [this](QPainter& p, QSize size) {
        if (this->frame().solving()) return false; // the scratch store is in use
        PaintTarget t;
        t.kind = PaintTarget::Screen;
        t.painter = &p;
        t.device = p.device();
        t.body = QRect(QPoint(0, 0), size);
        PaintTo(t);
        return true;
    };
    box_->Send = [this](int msg, long w, long l) { Message(msg, w, l); };
    box_->Language = [this] { return Language(); };
    setWidget(box_);
    AddDataItems();
}

int GraphWindow::Language() const {
    return frame().model().Language;
}

std::string GraphWindow::Tr(const char* bilingual) const {
    return Translate(bilingual, Language());
}

GraphStyle GraphWindow::Style() const {
    const Settings* s = frame().userSettings();
    return s ? GraphStyleFromSettings(*s) : GraphStyle{};
}

void GraphWindow::Redraw() {
    box_->Invalidate();
}

void GraphWindow::AddCoordinateSystem(CoordinateSystem& cs) {
    systems_.push_back(&cs);
}

bool GraphWindow::TakeRange(CoordinateSystem& cs) {
    return cs.UpdateRange(box_->Band());
}

bool GraphWindow::BeginFrame(CoordinateSystem& cs, const GraphPaint& g) {
    return BeginFrame(cs, g, g.Standard());
}

bool GraphWindow::BeginFrame(CoordinateSystem& cs, const GraphPaint& g, const Viewport& v) {
    cs.SetViewport(v.OffsetX, v.OffsetY, v.FactorX, v.FactorY);
    const GraphStyle style = Style();
    cs.Background = style.BackgroundColour();
    cs.FontSize = style.TextSize;
    cs.DeferLabels = true;
    cs.DecimalSeparator = frame().model().DecimalSeparator;
    return cs.DrawFrame(g.Canvas, g.Target, g.Width, g.Height);
}

void GraphWindow::UsePen(CoordinateSystem& cs, CurveKind kind) const {
    const GraphStyle style = Style();
    cs.SetPenWidth(style.WidthOf(kind));
    cs.SetPenColour(style.ColourOf(kind));
}

void GraphWindow::PaintTo(const PaintTarget& target) {
    // Sampling the model during a solution run would disturb it.
    if (frame().solving() || !target.painter || !target.device) return;
    const int width = target.body.width(), height = target.body.height();
    if (width <= 0 || height <= 0) return;
    QPainter& p = *target.painter;
    const GraphTarget kind = target.kind == PaintTarget::Printer ? GraphTarget::Printer
                             : target.kind == PaintTarget::Image ? GraphTarget::Image
                                                                 : GraphTarget::Screen;
    // Printed and copied pictures leave the screen's mapping (read-outs, zoom) as it is.
    std::vector<CoordinateSystem> saved;
    if (kind != GraphTarget::Screen)
        for (CoordinateSystem* cs : systems_)
            saved.push_back(*cs);

    p.save();
    p.translate(target.body.topLeft());
    p.setClipRect(QRect(0, 0, width, height));
    const double penScale =
        kind == GraphTarget::Printer ? target.device->logicalDpiX() / 96.0 : 1.0;
    QtGraphCanvas canvas(p, penScale);
    const GraphPaint g{canvas, kind, width, height};
    DrawDiagram(g);
    bool zoomed = false;
    for (CoordinateSystem* cs : systems_) {
        zoomed = zoomed || cs->Zoomed;
        cs->EndPaint();
    }
    if (zoomed && kind != GraphTarget::Printer) {
        // Black on a white patch: legible on the window's grey and on any plot colour.
        canvas.SetFont("Arial", Style().TextSize, true);
        canvas.SetFontColour(Black);
        canvas.SetBrush(White);
        if (ZoomTagRightAligned)
            canvas.Text(width - canvas.TextWidth("o"), canvas.TextHeight("Zoom"), "Zoom",
                        HAlign::Right, VAlign::Bottom, true);
        else
            canvas.Text(width - canvas.TextWidth("Zoom "), canvas.TextHeight("Zoom"), "Zoom",
                        HAlign::Left, VAlign::Top, true);
    }
    canvas.Flush();
    p.restore();
    if (kind != GraphTarget::Screen)
        for (size_t i = 0; i < systems_.size(); ++i)
            *systems_[i] = saved[i];
}

void GraphWindow::RefreshLanguage() {
    setWindowTitle(QString::fromStdString(Tr(caption_.c_str())));
    box_->Relabel(); // the context menu's entries, also for accessibility clients
    LanguageChanged();
    Redraw();
}

void GraphWindow::Zoom(long wParam, long lParam) {
    bool zoomed = false;
    for (const CoordinateSystem* cs : systems_)
        zoomed = zoomed || cs->Zoomed;
    if (!zoomed && wParam == 0) return;
    if (wParam == 1) {
        if (systems_.empty()) return;
        // With two plots the band belongs to the one it starts in.
        const int x = int(lParam & 0xFFFF), y = int((lParam >> 16) & 0xFFFF);
        CoordinateSystem* target = systems_.front();
        for (CoordinateSystem* cs : systems_) {
            const DeviceRect r = cs->PlotBox();
            if (cs->DeviceWidth > 0 && x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom) {
                target = cs;
                break;
            }
        }
        target->Zoomed = true;
        target->ZoomPending = true;
    } else {
        for (CoordinateSystem* cs : systems_) {
            cs->Zoomed = false;
            cs->ZoomPending = true;
            if (wParam == 2) cs->AutoRange = box_->AutoZoomItem->isChecked();
        }
    }
    Redraw();
}

long GraphWindow::Message(int msg, long wParam, long lParam) {
    switch (msg) {
    case MSG_ZOOM:
        Zoom(wParam, lParam);
        return 0;
    case MSG_MODEL_CHANGED:
    case MSG_PERIOD_MOVED:
    case MSG_NUMBER_FORMAT:
    case MSG_GRAPH_OPTIONS:
    case MSG_BASELINE_CHANGED:
        Redraw();
        return 0;
    default:
        return WorkingWindow::Message(msg, wParam, lParam);
    }
}

// ------------------------------------------------------------------ the numbers behind it

void GraphWindow::AddDataItems() {
    QMenu* menu = box_->Menu;
    menu->addSeparator();
    CopyDataItem = menu->addAction(QString());
    CopyDataItem->setObjectName(QStringLiteral("CopyData"));
    SaveDataItem = menu->addAction(QString());
    SaveDataItem->setObjectName(QStringLiteral("SaveData"));
    CopyDataItem->setVisible(false);
    SaveDataItem->setVisible(false);
    connect(menu, &QMenu::aboutToShow, this, [this] {
        const std::optional<DiagramNumbers> numbers = Numbers();
        const bool any = numbers && !numbers->Curves.empty();
        for (QAction* item : {CopyDataItem, SaveDataItem}) {
            item->setVisible(numbers.has_value());
            item->setEnabled(any);
        }
        CopyDataItem->setText(QString::fromStdString(Tr("Daten kopieren##Copy data")));
        SaveDataItem->setText(QString::fromStdString(Tr("Daten speichern…##Save data…")));
    });
    connect(CopyDataItem, &QAction::triggered, this, [this] { CopyNumbers(); });
    connect(SaveDataItem, &QAction::triggered, this, [this] { SaveNumbersAs(); });
}

bool GraphWindow::CopyNumbers() {
    const std::optional<DiagramNumbers> numbers = Numbers();
    if (!numbers || numbers->Curves.empty()) return false;
    const std::string text = DiagramTabText(*numbers, frame().model().DecimalSeparator);
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    return true;
}

bool GraphWindow::SaveNumbers(const QString& path) {
    const std::optional<DiagramNumbers> numbers = Numbers();
    if (!numbers || numbers->Curves.empty()) return false;
    const std::string csv = DiagramCsv(*numbers);
    // Written beside the target and renamed over it only when complete.
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) &&
                    file.write(csv.data(), qint64(csv.size())) == qint64(csv.size()) &&
                    file.commit();
    if (!ok) {
        const std::string name = QDir::toNativeSeparators(path).toStdString();
        const std::string reason = file.errorString().toStdString();
        frame().host().ShowMessage("Daten speichern##Save data",
                                   FillIn("Die Datei \"%1\" wurde nicht geschrieben: %2##The file "
                                          "\"%1\" was not written: %2",
                                          {name, reason}));
    }
    return ok;
}

void GraphWindow::SaveNumbersAs() {
    const std::optional<DiagramNumbers> numbers = Numbers();
    if (!numbers || numbers->Curves.empty()) return;
    if (dataFolder_.isEmpty()) {
        // The data folder of the settings, as the model files; the home folder without one.
        const Settings* s = frame().userSettings();
        dataFolder_ = s && !s->DataDirectory.empty() ? QString::fromStdString(s->DataDirectory)
                                                     : QDir::homePath();
        while (dataFolder_.size() > 1 && dataFolder_.endsWith('/'))
            dataFolder_.chop(1);
    }
    const QString suggested =
        dataFolder_ + "/" +
        QString::fromStdString(numbers->Diagram.empty() ? "diagram" : numbers->Diagram) + ".csv";
    QString path = QFileDialog::getSaveFileName(
        this, QString::fromStdString(Tr("Daten speichern##Save data")), suggested,
        QString::fromStdString(
            Tr("CSV-Dateien (*.csv);;Alle Dateien (*)##CSV files (*.csv);;All files (*)")));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += ".csv";
    dataFolder_ = QFileInfo(path).absolutePath();
    SaveNumbers(path);
}

} // namespace tv
