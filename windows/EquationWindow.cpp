#include "windows/EquationWindow.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/UserHost.h"
#include "services/Printing.h"
#include "services/WindowFrame.h"
#include "windows/FormulaPainter.h"
#include "windows/FormulaText.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QPainter>
#include <QPrinter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <cmath>

namespace tv {

namespace {

constexpr int LineRole = Qt::UserRole + 1;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The selected line: white on dark grey in the tree; on paper and in pictures black on a
// light grey band, which any printer renders and which leaves the text readable.
const QColor SelectedFill(64, 64, 64);
const QColor SelectedBand(220, 220, 220);

// Draws a tree line with the equation markup: white on dark grey when it is the selected
// line of the active window, in the text colour on white otherwise.
class FormulaDelegate : public QStyledItemDelegate {
  public:
    explicit FormulaDelegate(EquationWindow* window)
        : QStyledItemDelegate(window), window_(window) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QMdiArea* area = window_->frame().mdiArea();
        const bool active = area && area->activeSubWindow() == window_;
        const bool selected = (option.state & QStyle::State_Selected) && active;
        p->save();
        p->fillRect(option.rect, selected ? SelectedFill : QColor(Qt::white));
        // The text colour is the screen font's (black unless the settings say otherwise).
        p->setPen(selected ? QColor(Qt::white) : option.palette.color(QPalette::Text));
        p->setFont(option.font);
        DrawFormulaText(*p, option.rect, 2, {}, index.data().toString(), false,
                        window_->frame().model().Language);
        p->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int language = window_->frame().model().Language;
        std::string text = index.data().toString().toStdString();
        QString shown = Q(StripMarkup(language == 2 ? EnglishFormula(text) : text));
        shown.replace(QLatin1Char('*'), QChar(0x2022));
        const QFont& f = option.font;
        const int height = static_cast<int>(std::lround(2 * f.pointSizeF()));
        return {QFontMetrics(f).horizontalAdvance(shown) + 8,
                std::max(height, QFontMetrics(f).height())};
    }

  private:
    EquationWindow* window_;
};

// Only the text area of the selected line is highlighted, not the tree drawing before it.
class TreeStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_ItemView_ShowDecorationSelected) return 0;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

} // namespace

void tDoppelKlickLabel::mouseDoubleClickEvent(QMouseEvent* e) {
    emit doubleClicked();
    QLabel::mouseDoubleClickEvent(e);
}

void EquationTree::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) {
        emit rightDoubleClicked(itemAt(e->position().toPoint()));
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(e);
}

void EquationTree::keyPressEvent(QKeyEvent* e) {
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) &&
        (e->modifiers() & Qt::ShiftModifier)) {
        emit toggleRequested();
        return;
    }
    QTreeWidget::keyPressEvent(e);
}

EquationWindow::EquationWindow(BaseWindowRole which, WindowFrame& frame)
    : BaseWindow(frame), caption_(BaseWindowCaption(which)),
      window_(which == BaseWindowRole::Equations2 ? 2 : 1) {
    setWindowTitle(Q(Translate(caption_, 1)));
    resize(441, 280);

    OuterFrame = new QFrame;
    OuterFrame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    OuterFrame->setLineWidth(1);
    auto* outer = new QVBoxLayout(OuterFrame);
    outer->setContentsMargins(2, 2, 2, 2);
    InnerFrame = new QFrame;
    InnerFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    InnerFrame->setLineWidth(1);
    outer->addWidget(InnerFrame);
    auto* inner = new QVBoxLayout(InnerFrame);
    inner->setContentsMargins(1, 1, 1, 1);
    inner->setSpacing(0);

    Titel = new tDoppelKlickLabel;
    Titel->setFixedHeight(17);
    Titel->setAutoFillBackground(true);
    Titel->setBackgroundRole(QPalette::Button);
    inner->addWidget(Titel);

    Tree = new EquationTree;
    Tree->setHeaderHidden(true);
    Tree->setFrameShape(QFrame::NoFrame);
    Tree->setRootIsDecorated(true);
    Tree->setUniformRowHeights(true);
    Tree->setItemDelegate(new FormulaDelegate(this));
    auto* style = new TreeStyle;
    style->setParent(Tree);
    Tree->setStyle(style);
    Tree->header()->setStretchLastSection(false);
    Tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Tree->setProperty("tag", window_);
    QPalette pal = Tree->palette();
    pal.setColor(QPalette::Base, Qt::white);
    Tree->setPalette(pal);
    inner->addWidget(Tree);
    setWidget(OuterFrame);
    setFocusProxy(Tree);

    connect(Titel, &tDoppelKlickLabel::doubleClicked, this,
            [this] { Message(MSG_TOGGLE_TREE, 1, 1); });
    connect(Tree, &EquationTree::toggleRequested, this, [this] { Message(MSG_TOGGLE_TREE, 1, 1); });
    connect(Tree, &EquationTree::rightDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item) OpenLine(item->data(0, LineRole).toInt());
    });

    ApplyFont();
    SetHint(window_ == 1 ? " Gleichungssystem für den linken Rand des Analyseintervalls##Equation "
                           "system for the left border of the analysis interval"
                         : " Gleichungssystem für den rechten Rand des Analyseintervalls##Equation "
                           "system for the right border of the analysis interval");
}

std::function<void(int)>& EquationWindow::InputDialogOpener() {
    static std::function<void(int)> opener;
    return opener;
}

void EquationWindow::ApplyFont() {
    const QFont f = frame().screenFont();
    setFont(f);
    OuterFrame->setFont(f);
    Tree->setFont(f);
    Titel->setFont(f);
    // 17 pixels hold the title in the usual fonts; a large screen font must not cut it.
    Titel->setFixedHeight(std::max(17, QFontMetrics(f).height() + 2));
}

void EquationWindow::SetHint(const char* text) {
    hint_ = text;
    const QString hint = Q(BaseWindowHint(text, frame().model().Language));
    setStatusTip(hint);
    Titel->setStatusTip(hint);
    Tree->setStatusTip(hint);
    Tree->viewport()->setStatusTip(hint);
}

bool EquationWindow::FollowsCurrent() const {
    const PeriodState& p = frame().model().Periods;
    const int edge = window_ == 1 ? p.LeftEdge : p.RightEdge;
    // When edge and current period coincide the assignment cannot be told from the period;
    // the window then keeps what the last assignment message said.
    if (edge != p.CurrentPeriod) return frame().assignedPeriod(window_) == p.CurrentPeriod;
    return followsCurrent_;
}

void EquationWindow::Rebuild() {
    const Model& m = frame().model();
    LineCodeTable& codes = LineCodes(window_);
    codes.Clear();
    shown_ = frame().assignedPeriod(window_);
    Titel->setText(Q(EquationTitle(shown_, m.Language)));

    // Keep the user's place when only the numbers change.
    const int selected = Tree->currentItem() ? Tree->currentItem()->data(0, LineRole).toInt() : -1;
    const int scroll = Tree->verticalScrollBar()->value();

    system_ = BuildEquationSystem(m, shown_, m.Language);
    Tree->setUpdatesEnabled(false);
    Tree->clear();
    std::vector<QTreeWidgetItem*> parents;
    QTreeWidgetItem* current = nullptr;
    for (size_t k = 0; k < system_.Lines.size(); ++k) {
        const EquationLine& line = system_.Lines[k];
        parents.resize(std::min<size_t>(parents.size(), line.Level));
        QTreeWidgetItem* item =
            parents.empty() ? new QTreeWidgetItem(Tree) : new QTreeWidgetItem(parents.back());
        item->setText(0, Q(line.Text));
        item->setData(0, LineRole, static_cast<int>(k));
        parents.push_back(item);
        if (static_cast<int>(k) == selected) current = item;
    }
    codes.Assign(system_);
    Tree->expandAll();
    Tree->resizeColumnToContents(0);
    if (current) Tree->setCurrentItem(current);
    Tree->verticalScrollBar()->setValue(scroll);
    Tree->setUpdatesEnabled(true);
}

void EquationWindow::OpenLine(int index) {
    const DialogPage target = DialogForCode(LineCodes(window_).CodeOf(index));
    if (target.Dialog == 0) return;
    auto& opener = InputDialogOpener();
    if (!opener) return;
    DialogStartPage()[target.Dialog - 1] = target.Page;
    opener(target.Dialog);
}

int EquationWindow::SelectedLine() const {
    const auto items = Tree->selectedItems();
    return items.isEmpty() ? -1 : items.first()->data(0, LineRole).toInt();
}

void EquationWindow::ToggleTree() {
    QTreeWidgetItem* first = Tree->topLevelItem(0);
    if (first && first->isExpanded())
        Tree->collapseAll();
    else
        Tree->expandAll();
}

void EquationWindow::RefreshLanguage() {
    setWindowTitle(Q(Translate(caption_, frame().model().Language)));
    SetHint(hint_);
    Rebuild();
}

long EquationWindow::Message(int msg, long wParam, long lParam) {
    switch (msg) {
    case MSG_PERIOD_MOVED_EQ: {
        const bool current = FollowsCurrent();
        const bool edgeMoved = window_ == 1 ? wParam == 1 : wParam == 3;
        if ((current && wParam == 2) || (!current && edgeMoved)) Rebuild();
        return 0;
    }
    case MSG_MODEL_CHANGED_EQ:
        Rebuild();
        return 0;
    case MSG_ASSIGN_EQ: {
        if (wParam != window_) return 0;
        const PeriodState& p = frame().model().Periods;
        const int edge = window_ == 1 ? p.LeftEdge : p.RightEdge;
        followsCurrent_ = edge != p.CurrentPeriod
                              ? frame().assignedPeriod(window_) == p.CurrentPeriod
                              : !followsCurrent_;
        if (edge != p.CurrentPeriod) Rebuild();
        if (followsCurrent_)
            SetHint("| Gleichungssystem für die aktuelle Periode##Equation system for the current "
                    "period");
        else
            SetHint(window_ == 1 ? "| Gleichungssystem für den linken Rand des "
                                   "Analyseintervalls##Equation system for the left border of "
                                   "the analysis interval"
                                 : "| Gleichungssystem für den rechten Rand des "
                                   "Analyseintervalls##Equation system for the right border of "
                                   "the analysis interval");
        return 0;
    }
    case MSG_SCREEN_FONT:
        ApplyFont();
        Rebuild();
        return 0;
    case MSG_TOGGLE_TREE:
        ToggleTree();
        return 0;
    case MSG_PRINT:
        Print();
        return 0;
    default:
        return BaseWindow::Message(msg, wParam, lParam);
    }
}

// The picture of the window: the title and every line of the tree, indented by level.
void EquationWindow::PaintTo(const PaintTarget& target) {
    if (!target.painter) return;
    QPainter& p = *target.painter;
    const int language = frame().model().Language;
    p.save();
    p.setFont(font());
    p.setPen(Qt::black);
    const QFontMetrics fm(font(), p.device());
    const int step = static_cast<int>(std::lround(1.25 * fm.height()));
    int y = target.body.top();
    p.drawText(QPoint(target.body.left(), y + fm.ascent()), Titel->text());
    const int selected = SelectedLine();
    for (size_t k = 0; k < system_.Lines.size(); ++k) {
        const EquationLine& line = system_.Lines[k];
        y += step;
        if (y + fm.height() > target.body.bottom()) break;
        QFont f = font();
        f.setBold(line.Level == 0);
        p.setFont(f);
        const QRect r(target.body.left(), y, target.body.width(), fm.height());
        if (static_cast<int>(k) == selected) p.fillRect(r, SelectedBand);
        const QString text = QString(3 * (line.Level + 1), QLatin1Char(' ')) + Q(line.Text);
        DrawFormulaText(p, r, 0, {}, text, false, language);
    }
    p.restore();
}

void EquationWindow::Print() {
    QPrinter& printer = frame().printer();
    const QString caption = windowTitle();
    const int language = frame().model().Language;
    QPainter p;
    if (!BeginPrintJob(p)) return;
    const QFont font = frame().printerFont();
    p.setPen(Qt::black);
    const int pageWidth = printer.width(), pageHeight = printer.height();
    const int x = pageWidth / 10;
    const int bottom = pageHeight - pageHeight / 10;
    int y = 4 * QFontMetrics(font, &printer).height() +
            static_cast<int>(std::lround(pageHeight * 0.025));

    QFont title = font;
    title.setPointSizeF(font.pointSizeF() + 2);
    title.setUnderline(true);
    p.setFont(title);
    p.drawText(QPoint(x, y + QFontMetrics(title, &printer).ascent()),
               Q(EquationTitle(shown_, language)));

    const QString footer = QStringLiteral(", ") + caption + QStringLiteral(", ") +
                           Q(Translate("Seite##Page", language)) + QStringLiteral(": ");
    int page = 1;
    const int selected = SelectedLine();
    QFont lineFont = font;
    bool pageTop = false;
    for (size_t k = 0; k < system_.Lines.size(); ++k) {
        const EquationLine& line = system_.Lines[k];
        QFont f = lineFont;
        f.setBold(line.Level == 0);
        p.setFont(f);
        const int h = QFontMetrics(f, &printer).height();
        y += static_cast<int>(std::lround(1.25 * h));
        if (y + h > bottom && !pageTop) {
            PrintSourceFooter(p, font, frame().modelBaseName(), footer + QString::number(page),
                              language);
            printer.newPage();
            ++page;
            y = h;
            // Later pages continue one point smaller, but stay readable.
            lineFont.setPointSizeF(std::max(6.0, lineFont.pointSizeF() - 1));
            pageTop = true;
            --k;
            continue;
        }
        pageTop = false;
        const QRect r(x, y, pageWidth - 2 * x, h);
        if (static_cast<int>(k) == selected) p.fillRect(r, SelectedBand);
        const QString text = QString(3 * (line.Level + 1), QLatin1Char(' ')) + Q(line.Text);
        DrawFormulaText(p, r, 0, {}, text, false, language);
    }
    PrintSourceFooter(p, font, frame().modelBaseName(), footer + QString::number(page), language);
    p.end();
}

} // namespace tv
