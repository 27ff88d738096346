#include "views/ChartWindows.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/UserHost.h"
#include "logic/Settings.h"
#include "services/WindowFrame.h"
#include "views/GraphStyle.h"
#include "views/SequenceGraphData.h"
#include "views/SequenceTableWindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPercentBarSeries>
#include <QPicture>
#include <QPieSeries>
#include <QPieSlice>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

QString Tr(const char* bilingual, int language) {
    return QString::fromStdString(Translate(bilingual, language));
}

QString NoAccel(QString s) {
    return s.remove(QLatin1Char('&'));
}

// The long part of a "short|long" hint, in the language, as the tool tip.
QString HintText(const char* hint, int language) {
    const QString s = Tr(hint, language);
    const qsizetype bar = s.indexOf(QLatin1Char('|'));
    return (bar < 0 ? s : s.mid(bar + 1)).trimmed();
}

QColor FromBgr(Colour c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

QColor Background(const WindowFrame& f) {
    const Settings* s = f.userSettings();
    return FromBgr(s ? GraphStyleFromSettings(*s).BackgroundColour() : White);
}

// Series colours of the sequence charts; patterns replace them in black and white.
const QColor SeriesColours[] = {QColor(0, 0, 200),   QColor(200, 0, 0),   QColor(0, 140, 0),
                                QColor(200, 120, 0), QColor(0, 140, 140), QColor(140, 0, 140),
                                QColor(90, 90, 90),  QColor(120, 80, 20)};
const Qt::BrushStyle Patterns[] = {Qt::BDiagPattern,     Qt::FDiagPattern, Qt::CrossPattern,
                                   Qt::DiagCrossPattern, Qt::HorPattern,   Qt::VerPattern,
                                   Qt::Dense5Pattern,    Qt::Dense3Pattern};
const Qt::PenStyle Dashes[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                               Qt::DashDotDotLine};

// Ticks on whole periods, at most about ten of them.
void SetPeriodTicks(QValueAxis* axis, int left, int right) {
    const int span = std::max(1, right - left);
    int step = 1;
    for (int s : {1, 2, 5, 10, 20, 25, 50, 100, 200, 250, 500, 1000, 2000, 5000})
        if (span / s <= 10) {
            step = s;
            break;
        }
    if (span / step > 10) step = span / 10;
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(left);
    axis->setTickInterval(step);
    axis->setLabelFormat(QStringLiteral("%d"));
}

// Ticks on round values inside the exact limits: the axis ends where the data end.
void SetValueTicks(QValueAxis* axis, double min, double max) {
    const double span = max - min;
    if (!(span > 0) || !std::isfinite(span)) return;
    const double unit = std::pow(10.0, std::floor(std::log10(span / 5)));
    double step = unit;
    for (double k : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (span / (k * unit) <= 6) {
            step = k * unit;
            break;
        }
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
}

// The diagram text size for a chart's title, axes and legend.
void ApplyTextSize(QChart* chart, int points) {
    auto sized = [points](QFont f) {
        f.setPointSize(points);
        return f;
    };
    chart->setTitleFont(sized(chart->titleFont()));
    chart->legend()->setFont(sized(chart->legend()->font()));
    for (QAbstractAxis* a : chart->axes()) {
        a->setLabelsFont(sized(a->labelsFont()));
        a->setTitleFont(sized(a->titleFont()));
    }
}

void RenderWidget(QWidget* content, const PaintTarget& target) {
    if (!target.painter || !content) return;
    QPainter& p = *target.painter;
    const QSize size = content->size();
    if (size.isEmpty() || target.body.isEmpty()) return;
    const double scale = std::min(double(target.body.width()) / size.width(),
                                  double(target.body.height()) / size.height());
    p.save();
    p.translate(target.body.topLeft());
    p.scale(scale, scale);
    if (target.device && target.device->devType() == QInternal::Printer) {
        // Rendered straight onto a printer, widgets become one bitmap; recorded first, the
        // page keeps lines and text as vectors.
        QPicture picture;
        QPainter recorder(&picture);
        content->render(&recorder, QPoint(), QRegion(), QWidget::DrawChildren);
        recorder.end();
        // A picture plays back scaled from its own resolution to the device's.
        const double k = double(picture.logicalDpiX()) / target.device->logicalDpiX();
        p.scale(k, k);
        p.drawPicture(0, 0, picture);
    } else {
        content->render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    p.restore();
}

} // namespace

const char* SequenceChartCaption(int tag) {
    return tag == 2 ? "Sequenzgrafik 2##Sequential Analysis: Diagram 2"
                    : "Sequenzgrafik 1##Sequential Analysis: Diagram 1";
}

// ---------------------------------------------------------------- sequence charts

SequenceChartWindow::SequenceChartWindow(WindowFrame& frame, int tag)
    : WorkingWindow(frame), tag_(tag == 2 ? 2 : 1) {
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto* row = new QHBoxLayout;
    ExogenousButton = new QPushButton;
    EndogenousButton = new QPushButton;
    PatternBox = new QCheckBox;
    StackButton = new QPushButton;
    StackButton->setCheckable(true);
    PercentButton = new QPushButton(QStringLiteral("100 %"));
    PercentButton->setCheckable(true);
    SpacingLabel = new QLabel;
    SpacingBar = new QScrollBar(Qt::Horizontal);
    SpacingBar->setRange(1, 100);
    SpacingBar->setValue(25);
    SpacingBar->setMinimumWidth(90);
    SpacingLabel->setBuddy(SpacingBar);
    MinimumBox = new QComboBox;
    for (int k = 0; k < 10; ++k)
        MinimumBox->addItem(QStringLiteral("%1 %").arg(k * 10));
    auto* minimumLabel = new QLabel(QStringLiteral("m&in"));
    minimumLabel->setBuddy(MinimumBox);
    for (QWidget* w : std::initializer_list<QWidget*>{ExogenousButton, EndogenousButton, PatternBox,
                                                      StackButton, PercentButton})
        row->addWidget(w);
    row->addSpacing(8);
    row->addWidget(SpacingLabel);
    row->addWidget(SpacingBar, 1);
    row->addSpacing(8);
    row->addWidget(minimumLabel);
    row->addWidget(MinimumBox);
    layout->addLayout(row);

    Chart = new QChart;
    Chart->legend()->setAlignment(Qt::AlignBottom);
    Chart->setMargins(QMargins(4, 4, 4, 4));
    View = new QChartView(Chart);
    View->setRenderHint(QPainter::Antialiasing);
    layout->addWidget(View, 1);
    setWidget(content);
    resize(640, 440);

    // Default: employment, exports and income; a kept selection replaces it.
    SeriesFlags vars{};
    vars[31] = vars[36] = vars[37] = true;
    SeriesFlags params{};
    if (const WindowSettings* ws = frame.windowSettings()) {
        const std::string section = SequenceChartSection(tag_);
        params = ReadSeriesFlags(*ws, section, "P", SeriesKind::Parameter, params);
        vars = ReadSeriesFlags(*ws, section, "E", SeriesKind::Variable, vars);
    }
    params_ = params;
    vars_ = vars;

    connect(ExogenousButton, &QPushButton::clicked, this,
            [this] { Choose(SeriesKind::Parameter); });
    connect(EndogenousButton, &QPushButton::clicked, this,
            [this] { Choose(SeriesKind::Variable); });
    connect(StackButton, &QPushButton::toggled, this, [this](bool on) {
        if (on) PercentButton->setChecked(false);
        Rebuild(false);
    });
    connect(PercentButton, &QPushButton::toggled, this, [this](bool on) {
        if (on) StackButton->setChecked(false);
        Rebuild(false);
    });
    connect(PatternBox, &QCheckBox::toggled, this, [this] { Rebuild(false); });
    connect(SpacingBar, &QScrollBar::valueChanged, this, [this] { Rebuild(false); });
    connect(MinimumBox, &QComboBox::currentIndexChanged, this, [this] { Rebuild(false); });
    ApplyBackground();
    Rebuild();
}

StackMode SequenceChartWindow::Stacking() const {
    if (StackButton->isChecked()) return StackMode::Stacked;
    if (PercentButton->isChecked()) return StackMode::Percent;
    return StackMode::None;
}

void SequenceChartWindow::RefreshLanguage() {
    const int lang = frame().model().Language;
    setWindowTitle(Tr(SequenceChartCaption(tag_), lang));
    ExogenousButton->setText(Tr("E&xogen##E&xogenous", lang));
    EndogenousButton->setText(Tr("E&ndogen##E&ndogenous", lang));
    PatternBox->setText(Tr("M&uster##&Pattern", lang));
    StackButton->setText(Tr("Stapel##Stack", lang));
    SpacingLabel->setText(Tr("&Abstand##&Space", lang));
    StackButton->setToolTip(
        HintText("absolut stapeln| Stapelt die absoluten Werte aller Zeitreihen übereinander (nur "
                 "für Flächen- und Balkengrafik)##stack absolute values| Stacks the absolute "
                 "values of all series (area and bar charts only)",
                 lang));
    PercentButton->setToolTip(Tr("Stapelt die Anteile jeder Periode auf 100 %##Stacks the shares "
                                 "of each period to 100 %",
                                 lang));
    MinimumBox->setToolTip(HintText("Ordinatenminimum| Legt das Ordinatenminimum in % des Maximums "
                                    "fest##Y-axis minimum| Sets the minimum of the y axis in % of "
                                    "the maximum",
                                    lang));
    Rebuild(minimumFromData_); // new texts keep the axis as it is
}

void SequenceChartWindow::SetSelection(const SeriesFlags& params, const SeriesFlags& vars) {
    params_ = params;
    vars_ = vars;
    params_[0] = vars_[0] = false;
    Store();
    Rebuild();
}

void SequenceChartWindow::Choose(SeriesKind kind) {
    const int lang = frame().model().Language;
    const bool exogenous = kind == SeriesKind::Parameter;
    SeriesSelectionDialog dialog(kind, exogenous ? params_ : vars_, lang, this,
                                 frame().model().Sw(18) == 1);
    dialog.setWindowTitle(Tr("Größenauswahl##Series Selection", lang) + QStringLiteral(" (") +
                          Tr(exogenous ? "exogen##exogenous" : "endogen##endogenous", lang) +
                          QStringLiteral(")"));
    // Cancel keeps the flags the dialog started with.
    const bool ok = dialog.exec() == QDialog::Accepted;
    const SeriesFlags chosen = ok ? dialog.Shown() : (exogenous ? params_ : vars_);
    if (exogenous)
        SetSelection(chosen, vars_);
    else
        SetSelection(params_, chosen);
}

void SequenceChartWindow::Store() {
    if (WindowSettings* ws = frame().windowSettings()) {
        const std::string section = SequenceChartSection(tag_);
        WriteSeriesFlags(*ws, section, "P", SeriesKind::Parameter, params_);
        WriteSeriesFlags(*ws, section, "E", SeriesKind::Variable, vars_);
    }
}

void SequenceChartWindow::ApplyBackground() {
    Chart->setPlotAreaBackgroundBrush(Background(frame()));
    Chart->setPlotAreaBackgroundVisible(true);
}

void SequenceChartWindow::Rebuild(bool dataChanged) {
    const Model& m = frame().model();
    const int lang = m.Language;
    // Always re-read (the legends follow the language); only new data resets the minimum.
    data_ = BuildSequenceChart(m, params_, vars_, lang, frame().baseline());
    minimumFromData_ = dataChanged;
    const StackMode mode = Stacking();
    axis_ = SequenceChartAxis(data_, mode, MinimumBox->currentIndex(), dataChanged);
    const bool pattern = PatternBox->isChecked();

    Chart->removeAllSeries();
    for (QAbstractAxis* a : Chart->axes())
        Chart->removeAxis(a), delete a;
    const int left = data_.Periods.empty() ? 0 : data_.Periods.front();
    const int right = data_.Periods.empty() ? 1 : data_.Periods.back();

    auto* x = new QValueAxis;
    x->setTitleText(Tr("Periode##Period", lang) + QStringLiteral(" (t)"));
    auto* y = new QValueAxis;
    y->setRange(axis_.Min, axis_.Max);
    y->setLabelFormat(mode == StackMode::Percent
                          ? QStringLiteral("%.0f %%")
                          : QStringLiteral("%.%1f").arg(int(m.DecimalPlaces)));
    SetValueTicks(y, axis_.Min, axis_.Max);
    Chart->addAxis(x, Qt::AlignBottom);
    Chart->addAxis(y, Qt::AlignLeft);

    const size_t n = data_.Series.size();
    if (mode == StackMode::None) {
        x->setRange(left, std::max(right, left + 1));
        SetPeriodTicks(x, left, right);
        for (size_t i = 0; i < n; ++i) {
            auto* line = new QLineSeries;
            line->setName(QString::fromStdString(data_.Legends[i]));
            QList<QPointF> points;
            points.reserve(int(data_.Periods.size()));
            for (size_t p = 0; p < data_.Periods.size(); ++p)
                if (std::isfinite(data_.Series[i][p]))
                    points.append(QPointF(data_.Periods[p], data_.Series[i][p]));
            line->replace(points);
            QPen pen(pattern ? QColor(Qt::black) : SeriesColours[i % 8]);
            pen.setWidth(2);
            if (pattern) pen.setStyle(Dashes[i % 5]);
            line->setPen(pen);
            Chart->addSeries(line);
            line->attachAxis(x);
            line->attachAxis(y);
        }
        // The baseline of each series dashed in its colour (in a thinner dash under patterns);
        // one legend entry stands for all of them.
        std::vector<QLineSeries*> baselines;
        for (size_t i = 0; i < data_.BaselineSeries.size() && i < n; ++i) {
            auto* line = new QLineSeries;
            baselines.push_back(line);
            QList<QPointF> points;
            for (size_t p = 0; p < data_.Periods.size(); ++p)
                if (std::isfinite(data_.BaselineSeries[i][p]))
                    points.append(QPointF(data_.Periods[p], data_.BaselineSeries[i][p]));
            line->replace(points);
            QPen pen(pattern ? QColor(Qt::black) : SeriesColours[i % 8]);
            pen.setWidth(pattern ? 1 : 2);
            pen.setStyle(Qt::DashLine);
            line->setPen(pen);
            Chart->addSeries(line);
            line->attachAxis(x);
            line->attachAxis(y);
        }
        if (!baselines.empty()) {
            auto* key = new QLineSeries;
            key->setName(Tr("Basislauf##baseline", lang));
            QPen pen(pattern ? QColor(Qt::black) : QColor(Qt::darkGray));
            pen.setWidth(pattern ? 1 : 2);
            pen.setStyle(Qt::DashLine);
            key->setPen(pen);
            Chart->addSeries(key);
            key->attachAxis(x);
            key->attachAxis(y);
            for (QLineSeries* line : baselines)
                for (QLegendMarker* marker : Chart->legend()->markers(line))
                    marker->setVisible(false);
        }
    } else {
        // Bars stand on their period; the value axis below carries the period labels.
        QAbstractBarSeries* bars = mode == StackMode::Stacked
                                       ? static_cast<QAbstractBarSeries*>(new QStackedBarSeries)
                                       : new QPercentBarSeries;
        // Space: the gap between neighbouring bars grows with the scroll bar.
        bars->setBarWidth(std::clamp(1.0 - (SpacingBar->value() + 1) / 110.0, 0.05, 1.0));
        for (size_t i = 0; i < n; ++i) {
            auto* set = new QBarSet(QString::fromStdString(data_.Legends[i]));
            QList<qreal> values;
            for (double v : data_.Series[i])
                values.append(std::isfinite(v) ? v : 0);
            set->append(values);
            if (pattern) {
                set->setBrush(QBrush(Qt::black, Patterns[i % 8]));
                set->setPen(QPen(Qt::black));
            } else {
                set->setColor(SeriesColours[i % 8]);
                set->setBorderColor(SeriesColours[i % 8].darker(130));
            }
            bars->append(set);
        }
        auto* categories = new QBarCategoryAxis;
        QStringList labels;
        for (int t : data_.Periods)
            labels.append(QString::number(t));
        categories->append(labels);
        categories->setVisible(false);
        Chart->addAxis(categories, Qt::AlignBottom);
        Chart->addSeries(bars);
        bars->attachAxis(categories);
        bars->attachAxis(y);
        x->setRange(left - 0.5, right + 0.5);
        SetPeriodTicks(x, left, right);
    }
    Chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    Chart->legend()->setVisible(true);
    ApplyTextSize(Chart, DiagramTextSize(frame().userSettings()));
}

void SequenceChartWindow::PaintTo(const PaintTarget& target) {
    RenderWidget(View, target);
}

long SequenceChartWindow::Message(int msg, long wParam, long lParam) {
    switch (msg) {
    case MSG_PERIOD_MOVED:
        if (wParam != 2) Rebuild();
        return 0;
    case MSG_MODEL_CHANGED:
    case MSG_NUMBER_FORMAT:
    case MSG_BASELINE_CHANGED:
        Rebuild();
        return 0;
    case MSG_GRAPH_OPTIONS:
        ApplyBackground();
        Rebuild(minimumFromData_);
        return 0;
    case MSG_SAVE_SETTINGS:
        Store();
        return 0;
    default:
        return WorkingWindow::Message(msg, wParam, lParam);
    }
}

// ---------------------------------------------------------------- structure graph

namespace {

// C, I, G, Ex and YL, YU, Im.
const QColor ComponentColours[] = {QColor(0, 200, 0),    QColor(0, 0, 255),   QColor(255, 0, 0),
                                   QColor(255, 0, 255),  QColor(255, 255, 0), QColor(0, 255, 255),
                                   QColor(255, 255, 255)};
const Qt::BrushStyle ComponentPatterns[] = {
    Qt::BDiagPattern, Qt::FDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern,
    Qt::HorPattern,   Qt::VerPattern,   Qt::Dense4Pattern};
const char* const ComponentLabels[] = {"C ", "I ", "G ", "Ex", "YL", "YU", "Im"};

QBrush ComponentBrush(int k, bool pattern) {
    return pattern ? QBrush(Qt::black, ComponentPatterns[k]) : QBrush(ComponentColours[k]);
}

// One composition as slices (shares) or, when a value is negative, as bars around zero.
template <size_t N>
bool FillComposition(QChart* chart, const std::array<double, N>& values, int firstVar,
                     int firstComponent, const QString& title, bool pattern, int language,
                     const Model& m, int points) {
    chart->removeAllSeries();
    for (QAbstractAxis* a : chart->axes())
        chart->removeAxis(a), delete a;
    chart->setTitle(title);
    const bool bars = NeedsBarChart(values);
    // Styles are set after the series joins the chart: joining applies the chart's theme.
    if (bars) {
        auto* series = new QBarSeries;
        double lo = 0, hi = 0;
        for (size_t k = 0; k < N; ++k) {
            auto* set = new QBarSet(QString::fromStdString(VarSymbol(firstVar + int(k), language)));
            const double v = std::isfinite(values[k]) ? values[k] : 0;
            set->append(v);
            series->append(set);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        chart->addSeries(series);
        const QList<QBarSet*> sets = series->barSets();
        for (int k = 0; k < int(sets.size()); ++k) {
            sets[k]->setBrush(ComponentBrush(firstComponent + k, pattern));
            sets[k]->setPen(QPen(Qt::black));
            sets[k]->setLabelColor(Qt::black);
            QFont font = sets[k]->labelFont();
            font.setPointSize(points);
            sets[k]->setLabelFont(font);
        }
        series->setLabelsVisible(true);
        series->setLabelsFormat(QStringLiteral("@value"));
        series->setLabelsPrecision(6);
        series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
        auto* y = new QValueAxis;
        const double pad = (hi - lo) * 0.12 + 1e-9;
        y->setRange(lo < 0 ? lo - pad : 0, hi + pad);
        y->applyNiceNumbers();
        y->setLabelFormat(QStringLiteral("%.0f"));
        chart->addAxis(y, Qt::AlignLeft);
        series->attachAxis(y);
        auto* x = new QBarCategoryAxis;
        x->append(QStringLiteral(" "));
        x->setVisible(false);
        chart->addAxis(x, Qt::AlignBottom);
        series->attachAxis(x);
        chart->legend()->setVisible(true);
        chart->legend()->setAlignment(Qt::AlignRight);
    } else {
        auto* series = new QPieSeries;
        const auto shares = Shares(values);
        for (size_t k = 0; k < N; ++k) {
            const QString symbol = QString::fromStdString(VarSymbol(firstVar + int(k), language));
            // One decimal of the share keeps the label beside a small slice readable.
            QString share = QString::number(shares[k] * 100, 'f', 1);
            share.replace(QLatin1Char('.'), QLatin1Char(m.DecimalSeparator));
            series->append(symbol + QStringLiteral(" ") + share + QStringLiteral(" %"), values[k]);
        }
        series->setPieSize(0.45);
        chart->addSeries(series);
        const QList<QPieSlice*> slices = series->slices();
        // Neighbouring small slices alternate a short and a long arm, so that their labels
        // outside the pie stand apart.
        bool longArm = false;
        for (int k = 0; k < int(slices.size()); ++k) {
            const bool small = shares[size_t(k)] < 0.12;
            longArm = small && k > 0 && shares[size_t(k - 1)] < 0.12 && !longArm;
            slices[k]->setBrush(ComponentBrush(firstComponent + k, pattern));
            slices[k]->setPen(QPen(Qt::black));
            slices[k]->setLabelColor(Qt::black);
            slices[k]->setLabelVisible(values[k] > 0);
            QFont font = slices[k]->labelFont();
            font.setPointSize(points);
            slices[k]->setLabelFont(font);
            slices[k]->setLabelPosition(QPieSlice::LabelOutside);
            slices[k]->setLabelArmLengthFactor(longArm ? 0.45 : 0.08);
        }
        chart->legend()->setVisible(false);
    }
    ApplyTextSize(chart, points);
    return bars;
}

} // namespace

StructureWindow::StructureWindow(WindowFrame& frame) : WorkingWindow(frame) {
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);
    auto* top = new QHBoxLayout;
    DemandBox = new QCheckBox;
    SupplyBox = new QCheckBox;
    PatternBox = new QCheckBox;
    for (QCheckBox* b : {DemandBox, SupplyBox})
        b->setChecked(true);
    top->addWidget(DemandBox);
    top->addWidget(SupplyBox);
    top->addWidget(PatternBox);
    top->addSpacing(16);
    legendRow_ = new QHBoxLayout;
    legendRow_->setSpacing(4);
    for (int k = 0; k < 7; ++k) {
        legendSwatches_[k] = new QLabel;
        legendSwatches_[k]->setFixedSize(14, 14);
        legendRow_->addWidget(legendSwatches_[k]);
        legendRow_->addWidget(new QLabel(QString::fromLatin1(ComponentLabels[k]).trimmed()));
        legendRow_->addSpacing(6);
    }
    top->addLayout(legendRow_);
    top->addStretch(1);
    layout->addLayout(top);

    auto* columnsRow = new QHBoxLayout;
    columnsRow->setSpacing(3);
    for (int c = 0; c < 3; ++c) {
        Column& col = columns_[c];
        col.Panel = new QWidget;
        auto* v = new QVBoxLayout(col.Panel);
        v->setContentsMargins(3, 0, 3, 0);
        v->setSpacing(3);
        TitleButtons[c] = new QPushButton;
        TitleButtons[c]->setCheckable(true);
        v->addWidget(TitleButtons[c]);
        for (QChartView** view : {&col.Demand, &col.Supply}) {
            auto* chart = new QChart;
            chart->setMargins(QMargins(2, 2, 2, 2));
            *view = new QChartView(chart);
            (*view)->setRenderHint(QPainter::Antialiasing);
            (*view)->setMinimumSize(120, 120);
            v->addWidget(*view, 1);
        }
        columnsRow->addWidget(col.Panel, 1);
        connect(TitleButtons[c], &QPushButton::clicked, this, [this, c] { ToggleEnlarged(c); });
    }
    layout->addLayout(columnsRow, 1);
    setWidget(content);
    resize(780, 520);

    connect(DemandBox, &QCheckBox::toggled, this, [this] { UpdateVisibility(); });
    connect(SupplyBox, &QCheckBox::toggled, this, [this] { UpdateVisibility(); });
    connect(PatternBox, &QCheckBox::toggled, this, [this] {
        FillAll();
        UpdateLegend();
    });
    ApplyBackground();
    FillAll();
    UpdateLegend();
}

QChart* StructureWindow::DemandChart(int column) const {
    return columns_[column].Demand->chart();
}

QChart* StructureWindow::SupplyChart(int column) const {
    return columns_[column].Supply->chart();
}

int StructureWindow::PeriodOf(int column) const {
    const PeriodState& p = frame().model().Periods;
    return column == 0 ? p.LeftEdge : column == 1 ? p.CurrentPeriod : p.RightEdge;
}

void StructureWindow::Fill(int column, int period) {
    const Model& m = frame().model();
    const int lang = m.Language;
    Column& col = columns_[column];
    col.Period = period;
    ++col.Fills;
    const StructureColumn v = StructureValues(m, period);
    const bool pattern = PatternBox->isChecked();
    const int points = DiagramTextSize(frame().userSettings());
    col.DemandBars = FillComposition(col.Demand->chart(), v.Demand, 27, 0,
                                     NoAccel(Tr("Güter&nachfrage##Dema&nd for Goods", lang)),
                                     pattern, lang, m, points);
    col.SupplyBars = FillComposition(
        col.Supply->chart(), v.Supply, 38, 4,
        NoAccel(Tr("Güter&angebot##&Supply of Goods", lang)) + QStringLiteral(" (") +
            Tr("Faktoreinsatz##Factor Input", lang) + QStringLiteral(")"),
        pattern, lang, m, points);
    UpdateTitles();
}

void StructureWindow::FillAll() {
    for (int c = 0; c < 3; ++c)
        Fill(c, PeriodOf(c));
}

void StructureWindow::UpdateTitles() {
    for (int c = 0; c < 3; ++c) {
        const QString t = QString::number(columns_[c].Period);
        TitleButtons[c]->setText(enlarged_ == c ? QStringLiteral(">>t=%1<<").arg(t)
                                                : QStringLiteral("<<t=%1>>").arg(t));
        TitleButtons[c]->setChecked(enlarged_ == c);
    }
}

void StructureWindow::ToggleEnlarged(int column) {
    enlarged_ = enlarged_ < 0 ? column : -1;
    for (int c = 0; c < 3; ++c)
        columns_[c].Panel->setVisible(enlarged_ < 0 || enlarged_ == c);
    UpdateTitles();
}

void StructureWindow::UpdateVisibility() {
    // At least one kind stays visible: each box is greyed out while the other is unchecked.
    SupplyBox->setEnabled(DemandBox->isChecked());
    DemandBox->setEnabled(SupplyBox->isChecked());
    for (Column& col : columns_) {
        col.Demand->setVisible(DemandBox->isChecked());
        col.Supply->setVisible(SupplyBox->isChecked());
    }
}

void StructureWindow::UpdateLegend() {
    const bool pattern = PatternBox->isChecked();
    for (int k = 0; k < 7; ++k) {
        QPixmap swatch(14, 14);
        swatch.fill(Qt::white);
        QPainter p(&swatch);
        p.setPen(Qt::black);
        p.setBrush(ComponentBrush(k, pattern));
        p.drawRect(0, 0, 13, 13);
        p.end();
        legendSwatches_[k]->setPixmap(swatch);
    }
}

void StructureWindow::ApplyBackground() {
    const QColor bg = Background(frame());
    for (Column& col : columns_)
        for (QChartView* v : {col.Demand, col.Supply}) {
            v->chart()->setBackgroundBrush(bg);
        }
}

void StructureWindow::RefreshLanguage() {
    const int lang = frame().model().Language;
    setWindowTitle(Tr(StructureCaption, lang));
    DemandBox->setText(Tr("&Nachfrage##&Demand", lang));
    SupplyBox->setText(Tr("&Angebot##&Supply", lang));
    PatternBox->setText(Tr("M&uster##&Pattern", lang));
    PatternBox->setToolTip(HintText("| Schaltet zwischen Farb- und Schwarzweißdarstellung mit "
                                    "Muster um##| Switches between color and black and white "
                                    "with patterns",
                                    lang));
    static const char* const hints[] = {
        "Zoom (linker Analyserand)| Schaltet zwischen Ganz- und Teilfensterdarstellung um##Zoom "
        "(left border)| Switches between the whole window and a part of it",
        "Zoom (aktuelle Periode)| Schaltet zwischen Ganz- und Teilfensterdarstellung um##Zoom "
        "(current period)| Switches between the whole window and a part of it",
        "Zoom (rechter Analyserand)| Schaltet zwischen Ganz- und Teilfensterdarstellung um##Zoom "
        "(right border)| Switches between the whole window and a part of it"};
    for (int c = 0; c < 3; ++c)
        TitleButtons[c]->setToolTip(Tr(hints[c], lang).section(QLatin1Char('|'), 0, 0));
    FillAll();
}

void StructureWindow::PaintTo(const PaintTarget& target) {
    RenderWidget(widget(), target);
}

long StructureWindow::Message(int msg, long wParam, long lParam) {
    switch (msg) {
    case MSG_PERIOD_MOVED:
        for (int c = 0; c < 3; ++c)
            if (PeriodOf(c) != columns_[c].Period) Fill(c, PeriodOf(c));
        return 0;
    case MSG_MODEL_CHANGED:
        FillAll();
        return 0;
    case MSG_GRAPH_OPTIONS:
        ApplyBackground();
        FillAll();
        return 0;
    default:
        return WorkingWindow::Message(msg, wParam, lParam);
    }
}

} // namespace tv
