#include "views/QuickGraphWindow.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "logic/Settings.h"
#include "services/WindowFrame.h"
#include "views/BaselineCurves.h"
#include "views/PaintBox.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace tv {

namespace {

// Blue, red, yellow (darkened, plain yellow vanishes on white), teal, black.
constexpr Colour SlotColours[QuickSlotCount] = {0xFF0000, 0x0000FF, 0x00A8C8, 0x808000, 0x000000};

QColor ToQColor(Colour c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

QString HintText(const std::string& hint) {
    const QString s = QString::fromStdString(hint);
    const qsizetype bar = s.indexOf(QLatin1Char('|'));
    return (bar < 0 ? s : s.mid(bar + 1)).trimmed();
}

QToolButton* Toggle() {
    auto* b = new QToolButton;
    b->setCheckable(true);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

} // namespace

QuickGraphWindow::QuickGraphWindow(WindowFrame& frame) : GraphWindow(frame, QuickGraphCaption) {
    AddCoordinateSystem(cs_);
    ZoomTagRightAligned = true;
    if (const WindowSettings* ws = frame.windowSettings()) slots_ = ReadQuickSlots(*ws);

    auto* content = new QWidget;
    auto* outer = new QHBoxLayout(content);
    outer->setContentsMargins(2, 2, 2, 2);
    outer->setSpacing(4);
    auto* panel = new QWidget;
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(3);
    grid->setHorizontalSpacing(2);
    QStringList ops;
    for (const std::string& t : DiffOpTexts())
        ops.append(QString::fromStdString(t));
    for (int i = 0; i < QuickSlotCount; ++i) {
        SeriesBoxes[i] = new QComboBox;
        SeriesBoxes[i]->setMaxVisibleItems(20);
        SeriesBoxes[i]->setMinimumContentsLength(9);
        QPalette pal = SeriesBoxes[i]->palette();
        pal.setColor(QPalette::Text, ToQColor(SlotColours[i]));
        pal.setColor(QPalette::ButtonText, ToQColor(SlotColours[i]));
        SeriesBoxes[i]->setPalette(pal);
        DiffBoxes[i] = new QComboBox;
        DiffBoxes[i]->addItems(ops);
        DiffBoxes[i]->setCurrentIndex(slots_[i].DiffOp);
        DiffBoxes[i]->setMinimumContentsLength(5);
        RightAxisButtons[i] = Toggle();
        RightAxisButtons[i]->setText(QStringLiteral("R"));
        RightAxisButtons[i]->setChecked(slots_[i].RightAxis);
        grid->addWidget(SeriesBoxes[i], i, 0);
        grid->addWidget(DiffBoxes[i], i, 1);
        grid->addWidget(RightAxisButtons[i], i, 2);
        FillSeriesBox(i);
        connect(SeriesBoxes[i], &QComboBox::activated, this, [this, i] { SlotChosen(i); });
        connect(DiffBoxes[i], &QComboBox::activated, this, [this, i](int op) {
            slots_[i].DiffOp = op;
            FillSeriesBox(i);
            Store();
            Redraw();
        });
        connect(RightAxisButtons[i], &QToolButton::toggled, this, [this, i](bool on) {
            slots_[i].RightAxis = on;
            Store();
            Redraw();
        });
    }
    UntilCurrentButton = Toggle();
    StepsButton = Toggle();
    ZeroLineButton = Toggle();
    int row = QuickSlotCount;
    for (QToolButton* b : {UntilCurrentButton, StepsButton, ZeroLineButton}) {
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        grid->addWidget(b, row++, 0, 1, 3);
        connect(b, &QToolButton::toggled, this, [this] { Redraw(); });
    }
    grid->setRowStretch(row, 1);
    outer->addWidget(panel);
    setWidget(nullptr); // the paint box moves beside the selectors
    outer->addWidget(Box(), 1);
    setWidget(content);
    resize(760, 460);

    // Position information.
    InfoForm = new QWidget(this, Qt::Tool);
    auto* infoLayout = new QVBoxLayout(InfoForm);
    InfoGroup = new QGroupBox;
    auto* lines = new QVBoxLayout(InfoGroup);
    for (int i = 0; i < QuickSlotCount; ++i) {
        InfoLines[i] = new QLabel;
        QPalette pal = InfoLines[i]->palette();
        pal.setColor(QPalette::WindowText, ToQColor(SlotColours[i]));
        InfoLines[i]->setPalette(pal);
        lines->addWidget(InfoLines[i]);
    }
    infoLayout->addWidget(InfoGroup);
    InfoForm->setMinimumWidth(300);
    Box()->PositionForm = InfoForm;
    Box()->ZoomAllowed = true;
    connect(Box(), &PaintBox::mouseMoved, this, [this](QPoint p) { ShowPosition(p.x()); });
}

QuickGraphWindow::~QuickGraphWindow() = default;

QuickGraphOptions QuickGraphWindow::Options() const {
    QuickGraphOptions o;
    o.UntilCurrent = UntilCurrentButton->isChecked();
    o.Steps = StepsButton->isChecked();
    o.AlwaysZero = ZeroLineButton->isChecked();
    o.Revolving = frame().revolvingInterval();
    return o;
}

void QuickGraphWindow::FillSeriesBox(int index) {
    QComboBox* box = SeriesBoxes[index];
    const std::vector<SlotEntry> entries = SlotEntries(slots_[index].DiffOp, Language());
    const QSignalBlocker block(box);
    box->clear();
    for (const SlotEntry& e : entries)
        box->addItem(QString::fromStdString(e.Text));
    box->setCurrentIndex(SlotEntryIndex(entries, slots_[index]));
}

void QuickGraphWindow::SlotChosen(int index) {
    const std::vector<SlotEntry> entries = SlotEntries(slots_[index].DiffOp, Language());
    const int pos = SeriesBoxes[index]->currentIndex();
    // The entry itself says which quantity it is: a parameter whose symbol a variable
    // shares stays the parameter.
    const SeriesRef ref = pos > 0 && pos < int(entries.size()) ? entries[pos].Ref : SeriesRef{};
    slots_[index].Kind = ref.Kind;
    slots_[index].Number = ref.Number;
    Store();
    Redraw();
}

void QuickGraphWindow::SetSlot(int index, const QuickSlot& slot) {
    if (index < 0 || index >= QuickSlotCount) return;
    slots_[index] = slot;
    if (slots_[index].DiffOp < 0 || slots_[index].DiffOp > 17) slots_[index].DiffOp = 0;
    DiffBoxes[index]->setCurrentIndex(slots_[index].DiffOp);
    {
        const QSignalBlocker block(RightAxisButtons[index]);
        RightAxisButtons[index]->setChecked(slot.RightAxis);
    }
    FillSeriesBox(index);
    Store();
    Redraw();
}

void QuickGraphWindow::Store() {
    if (WindowSettings* ws = frame().windowSettings()) WriteQuickSlots(*ws, slots_);
}

void QuickGraphWindow::LanguageChanged() {
    const int lang = Language();
    for (int i = 0; i < QuickSlotCount; ++i)
        FillSeriesBox(i);
    UntilCurrentButton->setText(QString::fromStdString(
        Translate("nur bis aktuelle Periode##only up to current period", lang)));
    StepsButton->setText(
        QString::fromStdString(Translate("Periodenkonstanz##constant within periods", lang)));
    ZeroLineButton->setText(
        QString::fromStdString(Translate("immer Nulllinie##always zero line", lang)));
    ZeroLineButton->setToolTip(HintText(
        Translate("immer Nulllinie| Falls gedrückt, laufen Ordinatengrenzen immer über Null, sonst "
                  "nur über Zeitreihengrenzen (Null&linie = neue Rechtschreibung!)##always zero "
                  "line| When pressed, the y axis always includes zero, otherwise it only spans "
                  "the series",
                  lang)));
    const QString rightHint = HintText(
        Translate("rechte Ordinate| Falls gedrückt, wird die Zeitreihe an der rechten Ordinate "
                  "ausgerichtet##right axis| When pressed, the series is scaled on the right axis",
                  lang));
    for (QToolButton* b : RightAxisButtons)
        b->setToolTip(rightHint);
    QString caption =
        QString::fromStdString(Translate("&Schnellgrafik##&Rapid Diagram", lang) + "-Information");
    InfoForm->setWindowTitle(caption.remove(QLatin1Char('&')));
    ShowPosition(-1);
}

void QuickGraphWindow::ShowPosition(int deviceX) {
    const Model& m = frame().model();
    const int lang = Language();
    if (deviceX >= 0 && cs_.DeviceWidth > 0 && cs_.DeviceHeight > 0)
        infoPeriod_ = QuickInfoPeriod(cs_.DeviceToWorldX(deviceX), cs_.XAxisMin, cs_.XAxisMax);
    else if (infoPeriod_ < 0)
        infoPeriod_ = m.Periods.CurrentPeriod;
    InfoGroup->setTitle(
        QString::fromStdString(Translate("Variablenwerte für##Variable values for", lang) +
                               " t = " + std::to_string(infoPeriod_)));
    const std::vector<std::string> lines =
        QuickInfoLines(m, slots_, infoPeriod_, Options(), lang, frame().baseline());
    for (int i = 0; i < QuickSlotCount; ++i)
        InfoLines[i]->setText(QString::fromStdString(lines[i]));
}

void QuickGraphWindow::DrawDiagram(const GraphPaint& g) {
    const Model& m = frame().model();
    const QuickGraphOptions o = Options();
    const Baseline* baseline = frame().baseline();
    const QuickRanges r = QuickGraphRanges(m, slots_, o, baseline);
    cs_.FixedXMin = cs_.AutoXMin = r.XMin;
    cs_.FixedXMax = cs_.AutoXMax = r.XMax;
    cs_.FixedYMin = cs_.AutoYMin = r.YMin;
    cs_.FixedYMax = cs_.AutoYMax = r.YMax;
    cs_.ForceRightAxis = r.ForceRightAxis;
    cs_.RightZeroLine = o.AlwaysZero;
    // The band's right-axis values, read through the previous frame.
    double y2a = 0, y2b = 0;
    if (cs_.DeviceHeight > 0 && cs_.DeviceWidth > 0) {
        y2a = cs_.DeviceToWorldY2(Box()->Band().Bottom);
        y2b = cs_.DeviceToWorldY2(Box()->Band().Top);
    }
    if (TakeRange(cs_)) {
        XRange x;
        if (ClipZoomBand(cs_.XMin, cs_.XMax, m.Periods.LeftEdge, m.Periods.RightEdge, x)) {
            cs_.XMin = x.Min;
            cs_.XMax = x.Max;
            cs_.Y2Min = std::min(y2a, y2b);
            cs_.Y2Max = std::max(y2a, y2b);
        } else {
            // A band wholly beyond the interval selects nothing: keep the whole interval.
            cs_.Zoomed = false;
            cs_.SelectRange();
        }
    }
    if (!cs_.Zoomed) {
        cs_.Y2Min = r.Y2Min;
        cs_.Y2Max = r.Y2Max;
    }
    cs_.XTitle = Tr("Periode##Period") + " (t)#";
    cs_.YTitle = Tr("Werte##Values") + "#";
    cs_.Y2Title = cs_.YTitle;
    if (!BeginFrame(cs_, g, g.Narrow())) return;
    const int width = g.Target == GraphTarget::Printer ? 2 : Style().WidthOf(CurveKind::Current);
    for (int i = 0; i < QuickSlotCount; ++i) {
        const QuickSlot& s = slots_[i];
        if (s.Number == 0) continue;
        cs_.SetPenWidth(width);
        cs_.SetPenColour(SlotColours[i]);
        const std::vector<QuickSegment> segments = QuickSegments(m, s, o);
        for (const QuickSegment& seg : segments) {
            if (s.RightAxis)
                cs_.DrawSegmentRight(seg.X1, seg.Y1, seg.X2, seg.Y2);
            else
                cs_.DrawSegment(seg.X1, seg.Y1, seg.X2, seg.Y2);
        }
        if (g.Target == GraphTarget::Printer && !segments.empty())
            cs_.LabelAtPen(SeriesBoxes[i]->currentText().toStdString());
        if (!baseline) continue;
        // The baseline in the slot's colour, dashed.
        cs_.SetPenDashed(true);
        for (const QuickSegment& seg : QuickBaselineSegments(*baseline, m, s, o)) {
            if (s.RightAxis)
                cs_.DrawSegmentRight(seg.X1, seg.Y1, seg.X2, seg.Y2);
            else
                cs_.DrawSegment(seg.X1, seg.Y1, seg.X2, seg.Y2);
        }
        cs_.SetPenDashed(false);
    }
    if (baseline) {
        cs_.SetPenWidth(width);
        cs_.SetPenColour(Black);
        cs_.SetPenDashed(true);
        cs_.SetFontColour(Black);
        cs_.DrawKey(Tr(BaselineKeyText));
        cs_.SetPenDashed(false);
    }
}

long QuickGraphWindow::Message(int msg, long wParam, long lParam) {
    switch (msg) {
    case MSG_SAVE_SETTINGS:
        Store();
        return 0;
    case MSG_MODEL_CHANGED:
    case MSG_PERIOD_MOVED:
        ShowPosition(-1);
        return GraphWindow::Message(msg, wParam, lParam);
    default:
        return GraphWindow::Message(msg, wParam, lParam);
    }
}

void QuickGraphWindow::closeEvent(QCloseEvent* e) {
    Store();
    InfoForm->hide();
    GraphWindow::closeEvent(e);
}

} // namespace tv
