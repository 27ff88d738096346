#include "windows/ResultWindow.h"

#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/UserHost.h"
#include "services/Printing.h"
#include "services/WindowFrame.h"
#include "windows/EquationSystem.h"
#include "windows/ExplanationWindow.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <cmath>

namespace tv {

namespace {

const QString TooWide = QStringLiteral("<<|>>");

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// What a cell shows in `width` pixels. Numbers sit 2 pixels from the right edge and need
// those 2 pixels; one that does not fit reads "<<|>>" rather than losing digits. A label
// too long for its column ends in an ellipsis.
QString ValueShown(const QFontMetrics& fm, const QString& text, int width) {
    return fm.horizontalAdvance(text) + 2 <= width ? text : TooWide;
}
QString LabelShown(const QFontMetrics& fm, const QString& text, int width) {
    return fm.elidedText(text, Qt::ElideRight, std::max(0, width - 2));
}
// Headings keep 2 pixels on either side.
QString HeadingShown(const QFontMetrics& fm, const QString& text, int width) {
    return fm.horizontalAdvance(text) + 4 <= width ? text : TooWide;
}

// Labels 2 pixels from the left, numbers right-aligned 2 pixels from the right.
class CellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        p->save();
        const bool selected = option.state & QStyle::State_Selected;
        p->fillRect(option.rect, selected ? option.palette.highlight() : option.palette.base());
        p->setPen(selected ? option.palette.highlightedText().color()
                           : option.palette.text().color());
        p->setFont(option.font);
        const QString text = index.data().toString();
        const int w = option.rect.width();
        if (index.column() == 0) {
            p->drawText(option.rect.adjusted(2, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                        LabelShown(option.fontMetrics, text, w));
        } else {
            const QString shown = ValueShown(option.fontMetrics, text, w);
            if (shown == TooWide)
                p->drawText(option.rect.adjusted(0, 1, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                            shown);
            else
                p->drawText(option.rect.adjusted(0, 1, -2, 0), Qt::AlignRight | Qt::AlignTop,
                            shown);
        }
        p->restore();
    }
};

// Headings centred, 2 pixels below the top; "<<|>>" when wider than the column.
class HeadingView : public QHeaderView {
  public:
    explicit HeadingView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}

  protected:
    void paintSection(QPainter* p, const QRect& rect, int logical) const override {
        p->save();
        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.rect = rect;
        opt.section = logical;
        style()->drawControl(QStyle::CE_HeaderSection, &opt, p, this);
        const QString text = model()->headerData(logical, Qt::Horizontal).toString();
        p->setFont(font());
        p->setPen(palette().buttonText().color());
        p->drawText(rect.adjusted(0, 2, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                    HeadingShown(fontMetrics(), text, rect.width()));
        p->restore();
    }
};

} // namespace

ResultGrid::ResultGrid(int window, QWidget* parent) : QTableWidget(parent), WindowNumber(window) {}

void ResultGrid::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        emit enterPressed(e->modifiers() & Qt::ShiftModifier);
        return;
    }
    QTableWidget::keyPressEvent(e);
}

// A scroll area's resize event reports the viewport, after its new geometry is set.
void ResultGrid::resizeEvent(QResizeEvent* e) {
    QTableWidget::resizeEvent(e);
    emit viewportResized();
}

ResultWindow::ResultWindow(BaseWindowRole which, WindowFrame& frame)
    : BaseWindow(frame), caption_(BaseWindowCaption(which)),
      window_(which == BaseWindowRole::Results2 ? 2 : 1) {
    setWindowTitle(Q(Translate(caption_, 1)));
    if (window_ == 2)
        resize(451, 267);
    else
        resize(441, 280);

    OuterFrame = new QFrame;
    OuterFrame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* outer = new QVBoxLayout(OuterFrame);
    outer->setContentsMargins(2, 2, 2, 2);
    InnerFrame = new QFrame;
    InnerFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    outer->addWidget(InnerFrame);
    auto* inner = new QVBoxLayout(InnerFrame);
    inner->setContentsMargins(1, 1, 1, 1);

    Grid = new ResultGrid(window_);
    Grid->setHorizontalHeader(new HeadingView(Grid));
    Grid->verticalHeader()->hide();
    Grid->setFrameShape(QFrame::NoFrame);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setItemDelegate(new CellDelegate(Grid));
    Grid->setShowGrid(true);
    // The columns always share the visible width, so there is nothing to scroll sideways.
    Grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Grid->horizontalHeader()->setSectionsClickable(true);
    inner->addWidget(Grid);
    setWidget(OuterFrame);
    setFocusProxy(Grid);

    connect(Grid, &ResultGrid::viewportResized, this, &ResultWindow::FitColumns);
    connect(Grid->horizontalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int) { ToggleAll(); });
    connect(Grid, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        if (column == 0) ToggleGroupAtRow(row + 1, false);
    });
    connect(Grid, &ResultGrid::enterPressed, this, [this](bool shift) {
        if (shift)
            ToggleAll();
        else
            ToggleGroupAtRow(Grid->currentRow() + 1, true);
    });

    // The baseline comparison: in the window menu and on the grid's right click.
    BaselineDeviationEntry = new QAction(this);
    BaselineDeviationEntry->setObjectName(QStringLiteral("ErgebnisBasisAbweichung"));
    BaselineDeviationEntry->setCheckable(true);
    connect(BaselineDeviationEntry, &QAction::triggered, this,
            [this](bool on) { SetBaselineDeviation(on); });
    if (QMenu* menu = systemMenu()) {
        menu->addSeparator();
        menu->addAction(BaselineDeviationEntry);
    }
    // Why a value changed: on the grid's right click and by key.
    WhyEntry = new QAction(this);
    WhyEntry->setObjectName(QStringLiteral("ErgebnisWarum"));
    WhyEntry->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W));
    WhyEntry->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(WhyEntry, &QAction::triggered, this, [this] { AskWhy(); });
    connect(Grid, &QTableWidget::currentCellChanged, this, [this] { UpdateWhyEntry(); });
    Grid->addAction(WhyEntry);
    Grid->addAction(BaselineDeviationEntry);
    Grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    UpdateBaselineEntry();

    ApplyFont();
    SetHint(window_ == 1 ? " Modellergebnisse für den linken Rand des Analyseintervalls und "
                           "Differenzen zur aktuellen Periode##Model results for the left border "
                           "of the analysis interval and differences to the current period"
                         : " Modellergebnisse für den rechten Rand des Analyseintervalls und "
                           "Differenzen zur aktuellen Periode##Model results for the right border "
                           "of the analysis interval and differences to the current period");
    SetupPeriods();
    Refill();
    const int w = Grid->viewport()->width();
    Grid->horizontalHeader()->setDefaultSectionSize(std::max(1, w / 4));
}

ResultOptions& ResultWindow::Options() {
    static ResultOptions options;
    return options;
}

void ResultWindow::ApplyFont() {
    const QFont f = frame().screenFont();
    setFont(f);
    Grid->setFont(f);
    Grid->horizontalHeader()->setFont(f);
    const int h = QFontMetrics(f).height() + 2; // text height of "E" + 2
    Grid->verticalHeader()->setMinimumSectionSize(1);
    Grid->verticalHeader()->setDefaultSectionSize(h);
    Grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid->horizontalHeader()->setFixedHeight(h + 2);
}

void ResultWindow::SetHint(const char* text) {
    hint_ = text;
    const QString hint = Q(BaseWindowHint(text, frame().model().Language));
    setStatusTip(hint);
    Grid->setStatusTip(hint);
    Grid->viewport()->setStatusTip(hint);
}

void ResultWindow::SetupPeriods() {
    const Model& m = frame().model();
    periods_ = SetupResultPeriods(window_, frame().assignedPeriod(window_), m.Periods);
}

void ResultWindow::Refill() {
    const Model& m = frame().model();
    const int top = Grid->verticalScrollBar()->value();
    table_ = BuildResultTable(m, LineCodes(window_), periods_, Options(), ResultGroupState(window_),
                              m.Language, frame().baseline());
    const int columns = static_cast<int>(table_.Headings.size());
    Grid->setUpdatesEnabled(false);
    Grid->setColumnCount(columns);
    Grid->setRowCount(static_cast<int>(table_.Rows.size()));
    QStringList headings;
    for (const auto& h : table_.Headings)
        headings << Q(h);
    Grid->setHorizontalHeaderLabels(headings);
    auto set = [this](int r, int c, const std::string& text) {
        QTableWidgetItem* item = Grid->item(r, c);
        if (!item) {
            item = new QTableWidgetItem;
            Grid->setItem(r, c, item);
        }
        item->setText(Q(text));
    };
    for (int r = 0; r < static_cast<int>(table_.Rows.size()); ++r) {
        const ResultRow& row = table_.Rows[r];
        set(r, 0, row.Label);
        for (int c = 1; c < columns; ++c)
            set(r, c, c - 1 < static_cast<int>(row.Cells.size()) ? row.Cells[c - 1] : "");
    }
    Grid->verticalScrollBar()->setValue(top);
    Grid->setUpdatesEnabled(true);
    FitColumns();
    UpdateWhyEntry();
}

void ResultWindow::FitColumns() {
    const int client = Grid->viewport()->width();
    const int columns = Grid->columnCount();
    if (columns < 2 || client <= 0) return;
    const QFontMetrics fm(Grid->font());
    const QFontMetrics headingFm(Grid->horizontalHeader()->font());
    const int grid = Grid->showGrid() ? 1 : 0; // a cell is its column less the grid line
    int widest = 0, need = 0;
    for (const auto& row : table_.Rows) {
        widest = std::max(widest, fm.horizontalAdvance(Q(row.Label)));
        for (const auto& cell : row.Cells)
            need = std::max(need, fm.horizontalAdvance(Q(cell)) + 4 + grid);
    }
    for (size_t c = 1; c < table_.Headings.size(); ++c)
        need = std::max(need, headingFm.horizontalAdvance(Q(table_.Headings[c])) + 4);
    const std::vector<int> widths = FitResultColumns(client, widest, columns - 1, need);
    for (int c = 0; c < columns; ++c)
        Grid->setColumnWidth(c, widths[c]);
}

QString ResultWindow::ShownText(int row, int column) const {
    if (column < 0 || column >= Grid->columnCount()) return {};
    if (row < 0) {
        const QTableWidgetItem* h = Grid->horizontalHeaderItem(column);
        const QString text = h ? h->text() : QString();
        return HeadingShown(QFontMetrics(Grid->horizontalHeader()->font()), text,
                            Grid->columnWidth(column));
    }
    const QTableWidgetItem* item = Grid->item(row, column);
    if (!item) return {};
    const QFontMetrics fm(Grid->font());
    const int width = Grid->visualRect(Grid->model()->index(row, column)).width();
    return column == 0 ? LabelShown(fm, item->text(), width) : ValueShown(fm, item->text(), width);
}

void ResultWindow::ToggleAll() {
    ResultGroupState(window_).ToggleAll();
    Message(MSG_MODEL_CHANGED, 0, 0);
}

void ResultWindow::ToggleGroupAtRow(int gridRow, bool keepCurrentRow) {
    const int group = table_.GroupAtRow(gridRow);
    if (group == 0) return;
    ResultGroupState(window_).Toggle(group);
    const int row = Grid->currentRow();
    Message(MSG_MODEL_CHANGED, 0, 0);
    if (keepCurrentRow && row >= 0) Grid->setCurrentCell(row, 0);
}

void ResultWindow::UpdateBaselineEntry() {
    const Baseline* b = frame().baseline();
    BaselineDeviationEntry->setText(Q(Translate(
        "&Abweichung vom Basislauf##&Deviation from Baseline", frame().model().Language)));
    BaselineDeviationEntry->setChecked(Options().BaselineDeviation);
    BaselineDeviationEntry->setEnabled(b && !b->Empty());
}

void ResultWindow::UpdateWhyEntry() {
    WhyEntry->setText(Q(Translate("Warum?##Why?", frame().model().Language)));
    const int row = Grid->currentRow();
    WhyEntry->setEnabled(row >= 0 && row < static_cast<int>(table_.Rows.size()) &&
                         table_.Rows[row].Variable != 0);
}

void ResultWindow::AskWhy() {
    const int row = Grid->currentRow();
    if (row < 0 || row >= static_cast<int>(table_.Rows.size())) return;
    if (const int n = table_.Rows[row].Variable) OpenExplanation(frame(), n, window_);
}

void ResultWindow::SetBaselineDeviation(bool on) {
    Options().BaselineDeviation = on;
    QMdiArea* area = frame().mdiArea();
    const QList<QMdiSubWindow*> windows =
        area ? area->subWindowList() : QList<QMdiSubWindow*>{this};
    for (QMdiSubWindow* w : windows)
        if (auto* r = qobject_cast<ResultWindow*>(w)) {
            r->UpdateBaselineEntry();
            r->Refill();
        }
}

void ResultWindow::RefreshLanguage() {
    UpdateBaselineEntry();
    setWindowTitle(Q(Translate(caption_, frame().model().Language)));
    SetHint(hint_);
    SetupPeriods();
    Refill();
}

long ResultWindow::Message(int msg, long wParam, long lParam) {
    switch (msg) {
    case MSG_PERIOD_MOVED:
        SetupPeriods();
        Refill();
        return 0;
    case MSG_MODEL_CHANGED:
    case MSG_NUMBER_FORMAT:
        Refill();
        return 0;
    case MSG_SCREEN_FONT:
        ApplyFont();
        Refill();
        return 0;
    case MSG_RESULT_LAYOUT:
        Refill();
        return 0;
    case MSG_BASELINE_CHANGED:
        UpdateBaselineEntry();
        Refill();
        return 0;
    case MSG_ASSIGN_RES: {
        if (wParam != window_) return 0;
        const PeriodState& p = frame().model().Periods;
        const int edge = window_ == 1 ? p.LeftEdge : p.RightEdge;
        followsCurrent_ = edge != p.CurrentPeriod
                              ? frame().assignedPeriod(window_) == p.CurrentPeriod
                              : !followsCurrent_;
        if (edge != p.CurrentPeriod) {
            SetupPeriods();
            Refill();
        }
        if (window_ == 1)
            SetHint(followsCurrent_
                        ? "| Modellergebnisse für die aktuelle Periode und Differenzen zum "
                          "linken Rand des Analyseintervalls##Model results for the current "
                          "period and differences to the left border of the analysis interval"
                        : "| Modellergebnisse für den linken Rand des Analyseintervalls und "
                          "Differenzen zur aktuellen Periode##Model results for the left border "
                          "of the analysis interval and differences to the current period");
        else
            SetHint(followsCurrent_
                        ? "| Modellergebnisse für die aktuelle Periode und Differenzen zum "
                          "rechten Rand des Analyseintervalls##Model results for the current "
                          "period and differences to the right border of the analysis interval"
                        : "| Modellergebnisse für den rechten Rand des Analyseintervalls und "
                          "Differenzen zur aktuellen Periode##Model results for the right border "
                          "of the analysis interval and differences to the current period");
        return 0;
    }
    case MSG_PRINT:
        Print();
        return 0;
    default:
        return BaseWindow::Message(msg, wParam, lParam);
    }
}

// The picture of the window: headings and rows, numbers right-aligned in their columns.
void ResultWindow::PaintTo(const PaintTarget& target) {
    if (!target.painter) return;
    QPainter& p = *target.painter;
    p.save();
    p.setFont(font());
    p.setPen(Qt::black);
    const QFontMetrics fm(font(), p.device());
    const QRect b = target.body;
    const int x1 = b.left() + b.width() / 2, x2 = x1 + b.width() / 4, right = b.right();
    int y = b.top();
    auto row = [&](const QString& a, const QString& c1, const QString& c2) {
        p.drawText(QRect(b.left(), y, x1 - b.left(), fm.height()), Qt::AlignLeft, a);
        p.drawText(QRect(x1, y, x2 - x1 - 4, fm.height()), Qt::AlignRight, c1);
        p.drawText(QRect(x2, y, right - x2 - 4, fm.height()), Qt::AlignRight, c2);
        y += fm.height();
    };
    auto cell = [](const std::vector<std::string>& v, size_t k) {
        return k < v.size() ? Q(v[k]) : QString();
    };
    row(cell(table_.Headings, 0), cell(table_.Headings, 1), cell(table_.Headings, 2));
    for (const ResultRow& r : table_.Rows) {
        if (y + fm.height() > b.bottom()) break;
        row(Q(r.Label), cell(r.Cells, 0), cell(r.Cells, 1));
    }
    p.restore();
}

void ResultWindow::Print() {
    QPrinter& printer = frame().printer();
    const QString caption = windowTitle();
    const int language = frame().model().Language;
    QPainter p;
    if (!BeginPrintJob(p)) return;
    const QFont font = frame().printerFont();
    const int pageWidth = printer.width(), pageHeight = printer.height();
    const QFontMetrics fm(font, &printer);
    const int s = fm.height();
    const int x0 = pageWidth / 10, x1 = pageWidth - x0;
    const int c1 = x0 + (x1 - x0) / 2, c2 = c1 + (x1 - x0) / 4;
    const int bottom = pageHeight - pageHeight / 10;
    const QString footer = QStringLiteral(", ") + caption + QStringLiteral(", ") +
                           Q(Translate("Seite##Page", language)) + QStringLiteral(": ");
    auto cell = [](const std::vector<std::string>& v, size_t k) {
        return k < v.size() ? Q(v[k]) : QString();
    };
    auto printRow = [&](int y, const QString& a, const QString& v1, const QString& v2) {
        p.drawText(QRect(x0, y, c1 - x0, s), Qt::AlignLeft | Qt::AlignTop, a);
        p.drawText(QRect(c1, y, c2 - c1 - s / 2, s), Qt::AlignRight | Qt::AlignTop, v1);
        p.drawText(QRect(c2, y, x1 - c2, s), Qt::AlignRight | Qt::AlignTop, v2);
    };
    int page = 1;
    int y = 4 * s + static_cast<int>(std::lround(pageHeight * 0.025));
    auto pageStart = [&] {
        QFont bold = font;
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(QPen(Qt::black, 5));
        p.drawLine(x0, y, x1, y);
        printRow(y + s / 2, cell(table_.Headings, 0), cell(table_.Headings, 1),
                 cell(table_.Headings, 2));
        y += static_cast<int>(std::lround(1.3 * s));
        p.drawLine(x0, y, x1, y);
        p.setPen(Qt::black);
        PrintSourceFooter(p, font, frame().modelBaseName(), footer + QString::number(page),
                          language);
        p.setFont(font);
    };
    pageStart();
    for (const ResultRow& r : table_.Rows) {
        if (y + 2 * s > bottom) {
            printer.newPage();
            ++page;
            y = pageHeight / 10;
            pageStart();
        }
        y += s;
        printRow(y, Q(r.Label), cell(r.Cells, 0), cell(r.Cells, 1));
    }
    p.end();
}

} // namespace tv
