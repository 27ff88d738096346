#include "windows/ExplanationWindow.h"

#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "services/WindowFrame.h"
#include "windows/ResultWindow.h"

#include <QHeaderView>
#include <QMdiArea>
#include <QPainter>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

enum Column {
    SymbolColumn,
    NameColumn,
    OldColumn,
    NewColumn,
    ChangeColumn,
    ShareColumn,
    BarColumn,
    ColumnCount
};

// Item data: the variable a row opens into, whether its children are still to be
// computed, its contribution and the largest contribution among its siblings (the bar's
// full length).
constexpr int VariableRole = Qt::UserRole;
constexpr int PendingRole = Qt::UserRole + 1;
constexpr int ContributionRole = Qt::UserRole + 2;
constexpr int ScaleRole = Qt::UserRole + 3;

const QColor RaisingColour(0, 128, 0);
const QColor LoweringColour(192, 0, 0);

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The part of `rect` the bar of a contribution covers: from the middle to the right when
// it raises the value, to the left when it lowers it.
QRect BarRect(const QRect& rect, double contribution, double scale) {
    if (!(scale > 0) || !std::isfinite(contribution)) return {};
    const int half = (rect.width() - 4) / 2;
    const int length =
        static_cast<int>(std::lround(half * std::min(1.0, std::fabs(contribution) / scale)));
    const int middle = rect.left() + 2 + half;
    const int h = std::max(2, rect.height() / 2);
    const int top = rect.top() + (rect.height() - h) / 2;
    return contribution >= 0 ? QRect(middle, top, length, h)
                             : QRect(middle - length, top, length, h);
}

void DrawBar(QPainter& p, const QRect& rect, double contribution, double scale) {
    const QRect bar = BarRect(rect, contribution, scale);
    if (bar.width() > 0) p.fillRect(bar, contribution >= 0 ? RaisingColour : LoweringColour);
}

class BarDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(p, option, index);
        if (index.column() != BarColumn) return;
        const QModelIndex first = index.siblingAtColumn(SymbolColumn);
        DrawBar(*p, option.rect, first.data(ContributionRole).toDouble(),
                first.data(ScaleRole).toDouble());
    }
};

int Depth(const QTreeWidgetItem* item) {
    int d = 0;
    for (const QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        ++d;
    return d;
}

QString PathOf(const QTreeWidgetItem* item) {
    QString path = item->text(SymbolColumn);
    for (const QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        path = p->text(SymbolColumn) + QLatin1Char('/') + path;
    return path;
}

bool Visible(const QTreeWidgetItem* item) {
    for (const QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        if (!p->isExpanded()) return false;
    return true;
}

} // namespace

ExplanationWindow::ExplanationWindow(WindowFrame& frame, int n, int window)
    : WorkingWindow(frame), variable_(n), window_(window) {
    resize(620, 320);
    Tree = new QTreeWidget;
    Tree->setColumnCount(ColumnCount);
    Tree->setItemDelegate(new BarDelegate(Tree));
    Tree->setUniformRowHeights(true);
    Tree->setAlternatingRowColors(true);
    Tree->header()->setStretchLastSection(false);
    Tree->header()->setSectionResizeMode(BarColumn, QHeaderView::Fixed);
    Tree->setColumnWidth(BarColumn, 160);
    Tree->setSelectionMode(QAbstractItemView::SingleSelection);
    setWidget(Tree);
    setFocusProxy(Tree);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(Tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { Open(item); });
    // The content comes with RefreshLanguage, which Create calls.
}

ExplanationWindow::~ExplanationWindow() = default;

void ExplanationWindow::Ask(int n, int window) {
    variable_ = n;
    window_ = window;
    Rebuild();
}

void ExplanationWindow::ApplyHeadings() {
    const int language = frame().model().Language;
    QStringList headings;
    for (const char* text : {"Symbol##Symbol", "Bezeichnung##Name", "Alt##Old", "Neu##New",
                             "Änderung##Change", "Beitrag##Contribution", "Anteil##Share"})
        headings << Q(Translate(text, language));
    Tree->setHeaderLabels(headings);
    QString caption = Q(Translate("Warum?##Why?", language)) + QLatin1Char(' ') +
                      Q(Translate(VarSymbol(variable_, language), language)) +
                      QStringLiteral(" (t=%1 ").arg(period_);
    caption += previous_ >= 0
                   ? Q(Translate("gegen t=##against t=", language)) + QString::number(previous_)
                   : Q(Translate("gegen den Basislauf##against the baseline", language));
    setWindowTitle(caption + QLatin1Char(')'));
}

void ExplanationWindow::Rebuild() {
    if (frame().solving()) return;
    const Model& m = frame().model();
    const int language = m.Language;
    period_ = frame().assignedPeriod(window_);
    const Baseline* base = frame().baseline();
    const bool againstBase = ResultWindow::Options().BaselineDeviation && base && !base->Empty() &&
                             base->Covers(period_);
    previous_ = againstBase ? -1 : period_ - 1;

    QSet<QString> opened;
    for (QTreeWidgetItemIterator it(Tree); *it; ++it)
        if ((*it)->isExpanded()) opened.insert(PathOf(*it));
    Tree->clear();
    ApplyHeadings();

    const int solved = std::min(m.Periods.LastSolved, m.Periods.RightEdge);
    QString problem;
    if (period_ > solved)
        problem = Q(FillIn("Periode %1 ist nicht gelöst.##Period %1 is not solved.",
                           {std::to_string(period_)}));
    else if (!againstBase && period_ < 1)
        problem = Q(Translate("Periode 0 hat keine Vorperiode.##Period 0 has no previous period.",
                              language));
    if (!problem.isEmpty()) {
        explainer_.reset();
        auto* item = new QTreeWidgetItem(Tree);
        item->setText(NameColumn, problem);
        return;
    }
    explainer_ = std::make_unique<Explainer>(m, againstBase ? &base->Frozen() : nullptr);
    const ExplanationNode root = explainer_->Explain(variable_, period_, previous_, 1);
    auto* top = new QTreeWidgetItem(Tree);
    Fill(top, root);
    top->setData(SymbolColumn, ScaleRole, std::fabs(root.contribution));
    top->setData(SymbolColumn, PendingRole, false);
    for (const ExplanationNode& c : root.children)
        Fill(new QTreeWidgetItem(top), c);
    top->setExpanded(true);
    // Reopen what was open before, level by level (opening computes the children).
    for (QTreeWidgetItemIterator it(Tree); *it; ++it)
        if (opened.contains(PathOf(*it))) (*it)->setExpanded(true);
    for (int c = 0; c < BarColumn; ++c)
        Tree->resizeColumnToContents(c);
}

void ExplanationWindow::Fill(QTreeWidgetItem* item, const ExplanationNode& node) {
    const Model& m = frame().model();
    const int language = m.Language;
    QString symbol = Q(Translate(node.Symbol(), language));
    if (node.kind != ExplanationNode::Remainder && node.period != period_)
        symbol += QStringLiteral("(%1)").arg(node.period - period_);
    item->setText(SymbolColumn, symbol);
    std::string name = Translate(node.Name(m.Sw(18) == 1), language);
    // The catalogue's names end in the symbol, which has its own column.
    if (const size_t open = name.rfind(" ("); open != std::string::npos && name.back() == ')')
        name.erase(open);
    item->setText(NameColumn, Q(name));
    if (node.kind != ExplanationNode::Remainder) {
        item->setText(OldColumn, Q(m.FormatNumber(node.oldValue)));
        item->setText(NewColumn, Q(m.FormatNumber(node.newValue)));
    }
    item->setText(ChangeColumn, Q(m.FormatNumber(node.change)));
    item->setText(ShareColumn, Q(m.FormatNumber(node.contribution)));
    for (int c = OldColumn; c <= ShareColumn; ++c)
        item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    item->setData(SymbolColumn, ContributionRole, node.contribution);
    if (QTreeWidgetItem* parent = item->parent()) {
        // Bars of one level share a scale: the largest contribution among them.
        double scale = 0;
        for (int k = 0; k < parent->childCount(); ++k)
            scale = std::max(
                scale,
                std::fabs(parent->child(k)->data(SymbolColumn, ContributionRole).toDouble()));
        for (int k = 0; k < parent->childCount(); ++k)
            parent->child(k)->setData(SymbolColumn, ScaleRole, scale);
    }
    const bool opens = node.kind == ExplanationNode::Var && node.period == period_ &&
                       StepFor(node.number) != nullptr && item->parent() != nullptr;
    item->setData(SymbolColumn, VariableRole, node.kind == ExplanationNode::Var ? node.number : 0);
    item->setData(SymbolColumn, PendingRole, opens);
    if (opens) item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

void ExplanationWindow::Open(QTreeWidgetItem* item) {
    if (!explainer_ || !item->data(SymbolColumn, PendingRole).toBool()) return;
    item->setData(SymbolColumn, PendingRole, false);
    const ExplanationNode node =
        explainer_->Explain(item->data(SymbolColumn, VariableRole).toInt(), period_, previous_, 1);
    for (const ExplanationNode& c : node.children)
        Fill(new QTreeWidgetItem(item), c);
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    for (int c = 0; c < BarColumn; ++c)
        Tree->resizeColumnToContents(c);
}

QStringList ExplanationWindow::VisibleRows() const {
    QStringList rows;
    for (QTreeWidgetItemIterator it(Tree); *it; ++it) {
        if (!Visible(*it)) continue;
        QStringList cells;
        cells << QString(2 * Depth(*it), QLatin1Char(' ')) + (*it)->text(SymbolColumn);
        for (int c = NameColumn; c <= ShareColumn; ++c)
            cells << (*it)->text(c);
        rows << cells.join(QLatin1Char('\t'));
    }
    return rows;
}

void ExplanationWindow::RefreshLanguage() {
    Rebuild();
}

long ExplanationWindow::Message(int msg, long wParam, long lParam) {
    switch (msg) {
    case MSG_PERIOD_MOVED:
    case MSG_MODEL_CHANGED:
    case MSG_NUMBER_FORMAT:
    case MSG_BASELINE_CHANGED:
    case MSG_RESULT_LAYOUT:
    case MSG_SCREEN_FONT:
        Rebuild();
        return 0;
    default:
        return WorkingWindow::Message(msg, wParam, lParam);
    }
}

// The visible rows with their bars: what the window shows, for the printer and the clipboard.
void ExplanationWindow::PaintTo(const PaintTarget& target) {
    if (!target.painter) return;
    QPainter& p = *target.painter;
    p.save();
    p.setPen(Qt::black);
    const QFontMetrics fm(p.font(), p.device());
    const QRect b = target.body;
    const int line = fm.height() + 2;
    // Symbol, name, four numbers, bar: shares of the width.
    static constexpr double Shares[ColumnCount] = {0.14, 0.30, 0.10, 0.10, 0.10, 0.10, 0.16};
    int x[ColumnCount + 1];
    x[0] = b.left();
    for (int c = 0; c < ColumnCount; ++c)
        x[c + 1] = x[c] + static_cast<int>(b.width() * Shares[c]);
    int y = b.top();
    auto text = [&](int c, const QString& s, int indent = 0) {
        const QRect cell(x[c] + indent + 2, y, x[c + 1] - x[c] - indent - 4, line);
        const bool number = c >= OldColumn && c <= ShareColumn;
        p.drawText(cell, (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                   fm.elidedText(s, Qt::ElideRight, cell.width()));
    };
    p.drawText(QRect(b.left(), y, b.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
               windowTitle());
    y += line;
    for (int c = 0; c < BarColumn; ++c)
        text(c, Tree->headerItem()->text(c));
    y += line;
    p.drawLine(b.left(), y - 1, b.right(), y - 1);
    for (QTreeWidgetItemIterator it(Tree); *it; ++it) {
        if (!Visible(*it)) continue;
        if (y + line > b.bottom()) break;
        text(SymbolColumn, (*it)->text(SymbolColumn),
             Depth(*it) * fm.horizontalAdvance(QLatin1Char('M')));
        for (int c = NameColumn; c <= ShareColumn; ++c)
            text(c, (*it)->text(c));
        DrawBar(p, QRect(x[BarColumn], y, x[BarColumn + 1] - x[BarColumn], line),
                (*it)->data(SymbolColumn, ContributionRole).toDouble(),
                (*it)->data(SymbolColumn, ScaleRole).toDouble());
        y += line;
    }
    p.restore();
}

ExplanationWindow* OpenExplanation(WindowFrame& frame, int n, int window) {
    QMdiArea* area = frame.mdiArea();
    ExplanationWindow* w = nullptr;
    if (area)
        for (QMdiSubWindow* s : area->subWindowList())
            if ((w = qobject_cast<ExplanationWindow*>(s))) break;
    if (w) {
        w->Ask(n, window);
    } else {
        w = WorkingWindow::Create<ExplanationWindow>(frame, n, window);
        if (area) area->addSubWindow(w);
    }
    w->show();
    if (area) area->setActiveSubWindow(w);
    w->raise();
    return w;
}

} // namespace tv
