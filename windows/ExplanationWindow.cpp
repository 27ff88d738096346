#include "windows/ExplanationWindow.h"

#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "services/WindowFrame.h"
#include "windows/ResultWindow.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QPainter>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

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

enum DriverColumn {
    DriverSymbolColumn,
    DriverNameColumn,
    DriverPeriodsColumn,
    DriverContributionColumn,
    DriverShareColumn,
    DriverBarColumn,
    DriverColumnCount
};

// Item data: the quantity a row stands for (kind, number, period, values), whether its
// children are still to be computed, its contribution and the largest contribution among
// its siblings (the bar's full length).
constexpr int NumberRole = Qt::UserRole;
constexpr int PendingRole = Qt::UserRole + 1;
constexpr int ContributionRole = Qt::UserRole + 2;
constexpr int ScaleRole = Qt::UserRole + 3;
constexpr int KindRole = Qt::UserRole + 4;
constexpr int PeriodRole = Qt::UserRole + 5;
constexpr int OldRole = Qt::UserRole + 6;
constexpr int NewRole = Qt::UserRole + 7;
// A bar narrower than this tells nothing.
constexpr int MinimumBarWidth = 120;

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
    BarDelegate(int barColumn, QObject* parent)
        : QStyledItemDelegate(parent), barColumn_(barColumn) {}
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(p, option, index);
        if (index.column() != barColumn_) return;
        const QModelIndex first = index.siblingAtColumn(0);
        DrawBar(*p, option.rect, first.data(ContributionRole).toDouble(),
                first.data(ScaleRole).toDouble());
    }

  private:
    int barColumn_;
};

// A tree whose last column holds the bars: it takes the width that is left, so that the
// bars end at the window's edge, not beyond it.
QTreeWidget* BarTree(int columns, QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setColumnCount(columns);
    tree->setItemDelegate(new BarDelegate(columns - 1, tree));
    tree->setUniformRowHeights(true);
    tree->setAlternatingRowColors(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->header()->setStretchLastSection(true);
    tree->header()->setMinimumSectionSize(40);
    return tree;
}

void FitColumns(QTreeWidget* tree) {
    const int bar = tree->columnCount() - 1;
    for (int c = 0; c < bar; ++c)
        tree->resizeColumnToContents(c);
    // The long names, then deep indents, give way to the bars.
    int used = 0;
    for (int c = 0; c < bar; ++c)
        used += tree->columnWidth(c);
    int missing = used + MinimumBarWidth - tree->viewport()->width();
    for (int c : {1, 0}) {
        if (missing <= 0) break;
        const int width =
            std::max(tree->columnWidth(c) - missing, std::min(tree->columnWidth(c), 80));
        missing -= tree->columnWidth(c) - width;
        tree->setColumnWidth(c, width);
    }
}

// Bars of one level share a scale: the largest contribution among them.
void ShareScale(QTreeWidgetItem* parent, QTreeWidget* tree) {
    const int count = parent ? parent->childCount() : tree->topLevelItemCount();
    auto at = [&](int k) { return parent ? parent->child(k) : tree->topLevelItem(k); };
    double scale = 0;
    for (int k = 0; k < count; ++k)
        scale = std::max(scale, std::fabs(at(k)->data(0, ContributionRole).toDouble()));
    for (int k = 0; k < count; ++k)
        at(k)->setData(0, ScaleRole, scale);
}

int Depth(const QTreeWidgetItem* item) {
    int d = 0;
    for (const QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        ++d;
    return d;
}

// Where a row stands, the same in either language and in every period.
QString PathOf(const QTreeWidgetItem* item) {
    const QTreeWidgetItem* root = item;
    while (root->parent())
        root = root->parent();
    const int t = root->data(SymbolColumn, PeriodRole).toInt();
    QString path;
    for (const QTreeWidgetItem* p = item; p; p = p->parent())
        path = QStringLiteral("%1.%2.%3/")
                   .arg(p->data(SymbolColumn, KindRole).toInt())
                   .arg(p->data(SymbolColumn, NumberRole).toInt())
                   .arg(p->data(SymbolColumn, PeriodRole).toInt() - t) +
               path;
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
    resize(760, 420);
    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    Answer = new QLabel;
    Answer->setWordWrap(true);
    Answer->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(Answer);
    Views = new QTabWidget;
    layout->addWidget(Views, 1);
    Tree = BarTree(ColumnCount, Views);
    DriversView = BarTree(DriverColumnCount, Views);
    Views->addTab(Tree, QString());
    Views->addTab(DriversView, QString());
    setWidget(body);
    setFocusProxy(Tree);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(Tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { Open(item); });
    Tree->viewport()->installEventFilter(this);
    DriversView->viewport()->installEventFilter(this);
    // The content comes with RefreshLanguage, which Create calls.
}

bool ExplanationWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize)
        for (QTreeWidget* tree : {Tree, DriversView})
            if (watched == tree->viewport()) FitColumns(tree);
    return WorkingWindow::eventFilter(watched, event);
}

ExplanationWindow::~ExplanationWindow() = default;

void ExplanationWindow::Ask(int n, int window) {
    variable_ = n;
    window_ = window;
    fixedPeriod_ = -1;
    preferBaseline_ = false;
    Rebuild();
}

void ExplanationWindow::AskDrivers(int n, int t) {
    variable_ = n;
    fixedPeriod_ = t;
    preferBaseline_ = true;
    Rebuild();
    Views->setCurrentWidget(DriversView);
}

void ExplanationWindow::ApplyHeadings() {
    const int language = frame().model().Language;
    auto texts = [&](std::initializer_list<const char*> list) {
        QStringList out;
        for (const char* text : list)
            out << Q(Translate(text, language));
        return out;
    };
    Tree->setHeaderLabels(texts({"Symbol##Symbol", "Bezeichnung##Name", "Alt##Old", "Neu##New",
                                 "Änderung##Change", "Beitrag##Contribution", "Anteil##Share"}));
    DriversView->setHeaderLabels(texts({"Symbol##Symbol", "Bezeichnung##Name", "Perioden##Periods",
                                        "Beitrag##Contribution", "Anteil##Share", ""}));
    Views->setTabText(0, Q(Translate("Baum##Tree", language)));
    Views->setTabText(1, Q(Translate("Ursachen##Drivers", language)));
    ExplanationNode asked;
    asked.number = variable_;
    QString caption = Q(Translate("Warum?##Why?", language)) + QLatin1Char(' ') +
                      Q(Translate(asked.Symbol(), language)) +
                      QStringLiteral(" (t=%1 ").arg(period_);
    caption += previous_ >= 0
                   ? Q(Translate("gegen t=##against t=", language)) + QString::number(previous_)
                   : Q(Translate("gegen den Basislauf##against the baseline", language));
    setWindowTitle(caption + QLatin1Char(')'));
}

void ExplanationWindow::Rebuild() {
    const Model& m = frame().model();
    const int language = m.Language;
    if (frame().solving()) {
        // The numbers are about to change: say so, and follow once the solution is done.
        explainer_.reset();
        Answer->setText(Q(Translate("Das Modell wird gerade gelöst; die Erklärung folgt.##The "
                                    "model is being solved; the explanation follows.",
                                    language)));
        if (!rebuildDue_) {
            rebuildDue_ = true;
            QTimer::singleShot(50, this, [this] {
                rebuildDue_ = false;
                Rebuild();
            });
        }
        return;
    }
    period_ = fixedPeriod_ >= 0 ? fixedPeriod_ : frame().assignedPeriod(window_);
    const Baseline* base = frame().baseline();
    const bool againstBase = (preferBaseline_ || ResultWindow::Options().BaselineDeviation) &&
                             base && !base->Empty() && base->Covers(period_);
    previous_ = againstBase ? -1 : period_ - 1;

    QSet<QString> opened;
    for (QTreeWidgetItemIterator it(Tree); *it; ++it)
        if ((*it)->isExpanded()) opened.insert(PathOf(*it));
    Tree->clear();
    DriversView->clear();
    explainer_.reset();
    ApplyHeadings();

    const int solved = std::min(m.Periods.LastSolved, m.Periods.RightEdge);
    if (period_ > solved) {
        Answer->setText(Q(Translate(FillIn("Periode %1 ist nicht gelöst.##Period %1 is not solved.",
                                           {std::to_string(period_)}),
                                    language)));
        return;
    }
    if (!againstBase && period_ < 1) {
        Answer->setText(Q(Translate(
            "Periode 0 hat keine Vorperiode.##Period 0 has no previous period.", language)));
        return;
    }
    const Model* other = againstBase ? &base->Frozen() : nullptr;
    explainer_ = std::make_unique<Explainer>(m, other);
    const ExplanationNode root = explainer_->Explain(variable_, period_, previous_, 1);
    auto* top = new QTreeWidgetItem(Tree);
    Fill(top, root);
    top->setData(SymbolColumn, ScaleRole, std::fabs(root.contribution));
    top->setData(SymbolColumn, PendingRole, false);
    AddChildren(top, root);
    top->setExpanded(true);
    // Reopen what was open before, level by level (opening computes the children).
    for (QTreeWidgetItemIterator it(Tree); *it; ++it)
        if (opened.contains(PathOf(*it))) (*it)->setExpanded(true);
    FitColumns(Tree);

    const std::vector<Driver> drivers = explainer_->Drivers(variable_, period_, previous_);
    Answer->setText(Q(
        Translate(DriversSentence(m, variable_, period_, {previous_, other}, root.change, drivers),
                  language)));
    FillDrivers(drivers, root.change);
}

void ExplanationWindow::AddChildren(QTreeWidgetItem* item, const ExplanationNode& node) {
    // An input that did not change has nothing to tell.
    for (const ExplanationNode& c : node.children)
        if (c.change != 0 || c.contribution != 0) Fill(new QTreeWidgetItem(item), c);
    ShareScale(item, Tree);
}

void ExplanationWindow::Fill(QTreeWidgetItem* item, const ExplanationNode& node) {
    const Model& m = frame().model();
    const int language = m.Language;
    QString symbol = Q(Translate(node.Symbol(), language));
    const bool leaf =
        node.kind == ExplanationNode::Remainder || node.kind == ExplanationNode::StartEquilibrium;
    if (!leaf && node.period != period_)
        symbol += QStringLiteral("(%1)").arg(node.period - period_);
    item->setText(SymbolColumn, symbol);
    std::string name = Translate(node.Name(m.Sw(18) == 1), language);
    // The catalogue's names end in the symbol, which has its own column.
    if (const size_t open = name.rfind(" ("); open != std::string::npos && name.back() == ')')
        name.erase(open);
    item->setText(NameColumn, Q(name));
    item->setToolTip(NameColumn, Q(name));
    if (node.kind != ExplanationNode::Remainder) {
        item->setText(OldColumn, Q(m.FormatNumber(node.oldValue)));
        item->setText(NewColumn, Q(m.FormatNumber(node.newValue)));
    }
    item->setText(ChangeColumn, Q(m.FormatNumber(node.change)));
    item->setText(ShareColumn, Q(m.FormatNumber(node.contribution)));
    for (int c = OldColumn; c <= ShareColumn; ++c)
        item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    item->setData(SymbolColumn, ContributionRole, node.contribution);
    item->setData(SymbolColumn, KindRole, static_cast<int>(node.kind));
    item->setData(SymbolColumn, NumberRole, node.number);
    item->setData(SymbolColumn, PeriodRole, node.period);
    item->setData(SymbolColumn, OldRole, node.oldValue);
    item->setData(SymbolColumn, NewRole, node.newValue);
    const bool opens =
        (node.kind == ExplanationNode::Var || node.kind == ExplanationNode::FirstRunVar) &&
        node.change != 0 && item->parent() != nullptr;
    item->setData(SymbolColumn, PendingRole, opens);
    if (opens) item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

void ExplanationWindow::Open(QTreeWidgetItem* item) {
    if (!explainer_ || !item->data(SymbolColumn, PendingRole).toBool()) return;
    item->setData(SymbolColumn, PendingRole, false);
    ExplanationNode node;
    node.kind = static_cast<ExplanationNode::Kind>(item->data(SymbolColumn, KindRole).toInt());
    node.number = item->data(SymbolColumn, NumberRole).toInt();
    node.period = item->data(SymbolColumn, PeriodRole).toInt();
    node.oldValue = item->data(SymbolColumn, OldRole).toDouble();
    node.newValue = item->data(SymbolColumn, NewRole).toDouble();
    explainer_->Open(node, 1);
    AddChildren(item, node);
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    FitColumns(Tree);
}

void ExplanationWindow::FillDrivers(const std::vector<Driver>& drivers, double change) {
    const Model& m = frame().model();
    const int language = m.Language;
    auto share = [&](double x) {
        return change != 0 ? Q(m.FormatNumber(100 * x / change)) + QStringLiteral(" %") : QString();
    };
    auto fill = [&](QTreeWidgetItem* item, const QString& symbol, const std::string& name,
                    const std::string& periods, double contribution) {
        item->setText(DriverSymbolColumn, symbol);
        item->setText(DriverNameColumn, Q(Translate(name, language)));
        item->setToolTip(DriverNameColumn, item->text(DriverNameColumn));
        item->setText(DriverPeriodsColumn, Q(Translate(periods, language)));
        item->setText(DriverContributionColumn, Q(m.FormatNumber(contribution)));
        item->setText(DriverShareColumn, share(contribution));
        item->setTextAlignment(DriverContributionColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(DriverShareColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, ContributionRole, contribution);
    };
    for (const DriverGroup& g : GroupDrivers(drivers)) {
        const Driver& first = g.members.front();
        const QString symbol = Q(Translate(first.Symbol(), language));
        auto* item = new QTreeWidgetItem(DriversView);
        fill(item, symbol, first.Name(), g.Periods(period_), g.contribution);
        // One row per period below, folded.
        if (g.members.size() > 1) {
            for (const Driver& d : g.members)
                fill(new QTreeWidgetItem(item), symbol,
                     m.FormatNumber(d.oldValue) + " \u2192 " + m.FormatNumber(d.newValue),
                     "t = " + std::to_string(d.period), d.contribution);
        }
    }
    // The periods' bars on the scale of the symbols', so that they compare.
    ShareScale(nullptr, DriversView);
    for (int k = 0; k < DriversView->topLevelItemCount(); ++k) {
        QTreeWidgetItem* item = DriversView->topLevelItem(k);
        for (int j = 0; j < item->childCount(); ++j)
            item->child(j)->setData(0, ScaleRole, item->data(0, ScaleRole));
    }
    FitColumns(DriversView);
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
    p.setPen(TextColour(target));
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
    const QRect answer =
        fm.boundingRect(QRect(b.left(), y, b.width(), 4 * line), Qt::TextWordWrap, Answer->text());
    p.drawText(QRect(b.left(), y, b.width(), answer.height()), Qt::TextWordWrap, Answer->text());
    y += answer.height() + line / 2;
    for (int c = 0; c < BarColumn; ++c)
        text(c, Tree->headerItem()->text(c));
    y += line;
    p.drawLine(b.left(), y - 1, b.right(), y - 1);
    for (QTreeWidgetItemIterator it(Tree); *it; ++it) {
        if (!Visible(*it)) continue;
        if (y + line > b.bottom()) break;
        // Deep rows indent no further than their symbol still fits.
        const QString symbol = (*it)->text(SymbolColumn);
        const int room = x[SymbolColumn + 1] - x[SymbolColumn] - 4 - fm.horizontalAdvance(symbol);
        text(SymbolColumn, symbol,
             std::max(0, std::min(Depth(*it) * fm.horizontalAdvance(QLatin1Char('M')), room)));
        for (int c = NameColumn; c <= ShareColumn; ++c)
            text(c, (*it)->text(c));
        DrawBar(p, QRect(x[BarColumn], y, x[BarColumn + 1] - x[BarColumn], line),
                (*it)->data(SymbolColumn, ContributionRole).toDouble(),
                (*it)->data(SymbolColumn, ScaleRole).toDouble());
        y += line;
    }
    p.restore();
}

namespace {

// The one explanation window, created when there is none (it then explains variable n of
// result window 2 until asked otherwise), in front.
ExplanationWindow* TheWindow(WindowFrame& frame, int n, int window, bool& created) {
    QMdiArea* area = frame.mdiArea();
    ExplanationWindow* w = nullptr;
    if (area)
        for (QMdiSubWindow* s : area->subWindowList())
            if ((w = qobject_cast<ExplanationWindow*>(s))) break;
    created = !w;
    if (!w) {
        w = WorkingWindow::Create<ExplanationWindow>(frame, n, window);
        if (area) area->addSubWindow(w);
    }
    w->show();
    if (area) area->setActiveSubWindow(w);
    w->raise();
    return w;
}

} // namespace

ExplanationWindow* OpenExplanation(WindowFrame& frame, int n, int window) {
    bool created = false;
    ExplanationWindow* w = TheWindow(frame, n, window, created);
    if (!created) w->Ask(n, window);
    return w;
}

ExplanationWindow* OpenDrivers(WindowFrame& frame, int n, int t) {
    bool created = false;
    ExplanationWindow* w = TheWindow(frame, n, 2, created);
    w->AskDrivers(n, t);
    return w;
}

} // namespace tv
