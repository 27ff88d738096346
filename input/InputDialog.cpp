#include "input/InputDialog.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/NumberInput.h"
#include "core/UserHost.h"
#include "input/FormulaCell.h"
#include "services/HelpSystem.h"
#include "windows/EquationSystem.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTableWidget>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace tv {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QString DecimalPoint() {
    return QLocale().decimalPoint();
}

// Values in general format with 15 significant digits and the locale's separator.
QString FormatValue(double x) {
    QString s = QString::number(x, 'g', 15);
    return s.replace(QLatin1Char('.'), DecimalPoint());
}

// Draws heading cells (row 0, column 0) as formula texts with the highlight and value cells
// right-aligned, "<<|>>" when a text does not fit.
class GridDelegate : public QStyledItemDelegate {
  public:
    GridDelegate(QObject* parent, std::function<QString()> highlight, int language,
                 std::function<void(QLineEdit*)> editorCreated)
        : QStyledItemDelegate(parent), highlight_(std::move(highlight)), language_(language),
          editorCreated_(std::move(editorCreated)) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QString text = index.data().toString();
        const bool heading = index.row() == 0 || index.column() == 0;
        const QPalette& pal = option.palette;
        p->save();
        if (heading) {
            p->fillRect(option.rect, pal.color(QPalette::Button));
            QFont f = option.font;
            f.setBold(true);
            p->setFont(f);
            p->setPen(pal.color(QPalette::ButtonText));
            DrawFormulaCell(*p, option.rect, highlight_(), text, language_);
        } else {
            const bool selected = option.state & QStyle::State_Selected;
            p->fillRect(option.rect, selected ? pal.color(QPalette::Highlight).lighter(170)
                                              : pal.color(QPalette::Base));
            p->setPen(pal.color(QPalette::Text));
            p->setFont(option.font);
            const QRect r = option.rect.adjusted(2, 0, -5, 0);
            if (option.fontMetrics.horizontalAdvance(text) > r.width())
                p->drawText(option.rect, Qt::AlignCenter, QStringLiteral("<<|>>"));
            else
                p->drawText(r, Qt::AlignRight | Qt::AlignVCenter, text);
        }
        p->restore();
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        auto* editor =
            static_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, option, index));
        editor->setAlignment(Qt::AlignRight);
        editorCreated_(editor);
        return editor;
    }

  private:
    std::function<QString()> highlight_;
    int language_;
    std::function<void(QLineEdit*)> editorCreated_;
};

bool IsNumberKey(const QKeyEvent* k) {
    const QString t = k->text();
    return t.size() == 1 && t[0].isDigit();
}

bool IsSeparatorKey(const QKeyEvent* k) {
    return k->text() == QStringLiteral(".") || k->text() == QStringLiteral(",");
}

QString ToggleMinus(const QString& s) {
    return s.startsWith(QLatin1Char('-')) ? s.mid(1) : QStringLiteral("-") + s;
}

} // namespace

// ---------------------------------------------------------------- formula view

FormulaView::FormulaView(QWidget* parent) : QWidget(parent) {
    setFixedHeight(78);
    setCursor(Qt::WhatsThisCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FormulaView::SetLines(const EquationLines& lines, int language) {
    lines_.clear();
    for (const std::string* s : {&lines.Main, &lines.Second, &lines.Third})
        if (!s->empty()) lines_ << Q(*s);
    language_ = language;
    update();
}

void FormulaView::SetHighlight(const QString& highlight) {
    highlight_ = highlight;
    update();
}

void FormulaView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Base));
    p.setPen(palette().color(QPalette::Text));
    QFont f(QStringLiteral("Arial"), 10);
    p.setFont(f);
    const int n = static_cast<int>(lines_.size());
    if (n == 0) return;
    // Three lines share a taller band than one or two.
    const int top = n == 3 ? 6 : 12;
    const int height = n == 3 ? 66 : 59;
    const int row = height / n;
    for (int i = 0; i < n; ++i)
        DrawFormulaCell(p, QRect(0, top + i * row, width(), row), highlight_, lines_[i], language_);
}

void FormulaView::mousePressEvent(QMouseEvent*) {
    emit clicked();
}

// ---------------------------------------------------------------- dialog

InputDialog::InputDialog(Model& m, UserHost& host, int sector, bool permanentDefault,
                         QWidget* parent)
    : QDialog(parent), m_(m), host_(host),
      session_(std::make_unique<InputSession>(m, sector, permanentDefault)) {
    QString name = Q(Translate(SectorTitle(sector), m_.Language));
    name.remove(QLatin1Char('&'));
    setWindowTitle(Tr("Modellbaudialog##Modelling Dialog") + QStringLiteral(": ") + name);
    BuildWidgets();
    for (int page = 1; page <= session_->PageCount(); ++page)
        Tabs->addTab(Q(Translate(CategoryTitle(sector, page), m_.Language)));
    optionPages_.assign(session_->PageCount() + 1, nullptr);

    int& start = DialogStartPage()[sector - 1];
    if (start > Tabs->count() || start < 1) start = 1;
    filling_ = true;
    Tabs->setCurrentIndex(start - 1);
    filling_ = false;
    ShowPage();
    connect(Tabs, &QTabBar::currentChanged, this, [this](int) {
        if (filling_) return;
        // Leaving a page: an open entry is checked; untouched values stay exact doubles.
        CommitOpenEdit();
        CheckPendingEntries();
        CommitPeriodsField();
        ShowPage();
    });
}

InputDialog::~InputDialog() = default;

QString InputDialog::Tr(const char* text) const {
    return Q(Translate(text, m_.Language));
}

void InputDialog::BuildWidgets() {
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    resize(564, 268);

    FunctionName = new QLabel(this);
    QFont bold = FunctionName->font();
    bold.setBold(true);
    FunctionName->setFont(bold);

    Formula = new FormulaView(this);
    connect(Formula, &FormulaView::clicked, this, [this] { HelpButton->click(); });
    Notebook = new QStackedWidget(this);
    emptyOptions_ = new QWidget(Notebook);
    Notebook->addWidget(emptyOptions_);
    Notebook->setMinimumWidth(150);

    Grid = new QTableWidget(2, 1, this);
    Grid->horizontalHeader()->hide();
    Grid->verticalHeader()->hide();
    Grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid->setRowHeight(0, 25);
    Grid->setRowHeight(1, 23);
    Grid->setFixedHeight(25 + 23 + 2 * Grid->frameWidth() + 1);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::AnyKeyPressed |
                          QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    Grid->setItemDelegate(new GridDelegate(
        Grid, [this] { return Formula->Highlight(); }, m_.Language,
        [this](QLineEdit* editor) {
            editor->installEventFilter(this);
            editor_ = editor;
        }));
    Grid->installEventFilter(this);
    Grid->viewport()->installEventFilter(this);
    connect(Grid->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this] { editor_ = nullptr; });
    connect(Grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (filling_ || item->row() != 1 || item->column() < 1) return;
        pending_.insert(item->column());
        // Checked once the editor has closed: the check may show a message.
        QTimer::singleShot(0, this, [this] { CheckPendingEntries(); });
    });
    connect(Grid, &QTableWidget::currentCellChanged, this, [this](int row, int column, int, int) {
        if (filling_) return;
        if (row != 1 || column < 1) {
            if (Grid->columnCount() > 1) {
                filling_ = true;
                Grid->setCurrentCell(1, std::max(1, column));
                filling_ = false;
            }
        }
        MoveHighlight();
    });

    Info = new QTextEdit(this);
    Info->setReadOnly(true);
    Info->hide();

    Validity = new QGroupBox(Tr("Gültigkeit##Inputs apply"), this);
    Permanent = new QRadioButton(Tr("dauerhaft##from &now on"), Validity);
    ForPeriods = new QRadioButton(Tr("für##for"), Validity);
    PeriodsEdit = new QLineEdit(QStringLiteral("---"), Validity);
    PeriodsEdit->setMaxLength(6);
    // Digits only: a pasted text with anything else is refused as a whole, never filtered
    // into a different number.
    PeriodsEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), PeriodsEdit));
    PeriodsEdit->setFixedWidth(40);
    PeriodsEdit->setAlignment(Qt::AlignRight);
    PeriodsEdit->installEventFilter(this);
    PeriodsLabel = new QLabel(Validity);
    PeriodsLabel->setBuddy(PeriodsEdit);
    auto* vl = new QVBoxLayout(Validity);
    vl->addWidget(Permanent);
    auto* pl = new QHBoxLayout;
    pl->addWidget(ForPeriods);
    pl->addWidget(PeriodsEdit);
    pl->addWidget(PeriodsLabel);
    pl->addStretch();
    vl->addLayout(pl);
    connect(Permanent, &QRadioButton::clicked, this,
            [this] { session_->SetPermanent(page_, true); });
    connect(ForPeriods, &QRadioButton::clicked, this,
            [this] { session_->SetPermanent(page_, false); });
    connect(PeriodsEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        // Only digits: the field holds a positive number of periods.
        QString digits;
        for (QChar c : text)
            if (c.isDigit()) digits += c;
        if (digits != text) PeriodsEdit->setText(digits);
        QPalette p = PeriodsEdit->palette();
        p.setColor(QPalette::Text, Qt::red);
        PeriodsEdit->setPalette(p);
        UpdatePeriodsLabel(digits.toLongLong());
    });
    connect(PeriodsEdit, &QLineEdit::editingFinished, this, [this] { CommitPeriodsField(); });

    Tabs = new QTabBar(this);
    Tabs->setShape(QTabBar::RoundedSouth);
    Tabs->setDrawBase(false);
    AllOk = new QPushButton(Tr("&Alles Ok##&All Tabs Ok"), this);
    PageOk = new QPushButton(Tr("&Seite Ok##&Tab Ok"), this);
    CancelButton = new QPushButton(Tr("A&bbruch##&Cancel"), this);
    HelpButton = new QPushButton(QStringLiteral("?"), this);
    HelpButton->setFixedWidth(28);
    for (QPushButton* b : {AllOk, PageOk, CancelButton, HelpButton}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(AllOk, &QPushButton::clicked, this, [this] { CloseWith(InputClose::All); });
    connect(PageOk, &QPushButton::clicked, this, [this] { CloseWith(InputClose::Page); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [this] {
        if (showHelp) showHelp(PageTopic());
    });

    auto* top = new QHBoxLayout;
    top->addWidget(Formula, 1);
    top->addWidget(Notebook);
    auto* middle = new QHBoxLayout;
    middle->addWidget(Grid, 1, Qt::AlignTop);
    middle->addWidget(Info, 1);
    middle->addWidget(Validity);
    // The page tabs get a row of their own, so that five pages never need scroll arrows.
    auto* tabsRow = new QHBoxLayout;
    tabsRow->addWidget(Tabs);
    tabsRow->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    for (QPushButton* b : {AllOk, PageOk, CancelButton, HelpButton})
        bottom->addWidget(b);
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(6, 6, 6, 6);
    main->addWidget(FunctionName);
    main->addLayout(top);
    main->addLayout(middle, 1);
    main->addLayout(tabsRow);
    main->addLayout(bottom);
}

void InputDialog::SelectPage(int page) {
    if (page >= 1 && page <= Tabs->count()) Tabs->setCurrentIndex(page - 1);
}

void InputDialog::SetOptionPage(int page, QWidget* options) {
    if (page < 1 || page >= static_cast<int>(optionPages_.size())) return;
    optionPages_[page] = options;
    Notebook->addWidget(options);
    if (page == page_) ShowPage();
}

void InputDialog::SetFormulaVisible(bool visible) {
    Formula->setVisible(visible);
}

void InputDialog::SetSwitch(int k, int value) {
    CommitOpenEdit();
    CheckPendingEntries();
    m_.Switch[k] = static_cast<uint8_t>(value);
    ShowPage();
}

void InputDialog::SetHelpTopics(int dialogTopic, std::vector<int> pageTopics) {
    dialogTopic_ = dialogTopic;
    pageTopics_ = std::move(pageTopics);
    SetHelpContext(this, dialogTopic_);
    ShowPageHelp();
}

int InputDialog::PageTopic() const {
    return page_ < static_cast<int>(pageTopics_.size()) && pageTopics_[page_] ? pageTopics_[page_]
                                                                              : dialogTopic_;
}

// The controls of a page lead to the page's topic; the rest of the dialog to the dialog's.
void InputDialog::ShowPageHelp() {
    const int topic = PageTopic();
    for (QWidget* w : {static_cast<QWidget*>(Grid), static_cast<QWidget*>(Notebook),
                       static_cast<QWidget*>(Formula), static_cast<QWidget*>(Info),
                       static_cast<QWidget*>(HelpButton)})
        if (w) SetHelpContext(w, topic);
}

void InputDialog::ShowPage() {
    const int sector = session_->Sector();
    page_ = Tabs->currentIndex() + 1;
    FunctionName->setText(Q(Translate(CategoryLongTitle(sector, page_), m_.Language)) +
                          QStringLiteral(":"));
    ShowValidity();

    const EquationLines e = EquationText(m_, sector, page_);
    Formula->SetLines(e, m_.Language);
    QString notes;
    for (const std::string& n : e.Notes)
        notes += Q(n);
    notes.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Info->setPlainText(notes);
    QTextCursor c(Info->document());
    c.select(QTextCursor::Document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignCenter);
    c.mergeBlockFormat(centred);

    ShowPageHelp();
    QWidget* options = optionPages_[page_];
    Notebook->setCurrentWidget(options ? options : emptyOptions_);
    Notebook->setVisible(options != nullptr);

    columns_ = session_->VisibleParams(page_);
    filling_ = true;
    pending_.clear();
    const int t = m_.Periods.CurrentPeriod;
    if (columns_.empty()) {
        Grid->hide();
        Grid->setEnabled(false);
        Validity->hide();
        Info->setVisible(!notes.isEmpty());
    } else {
        Info->hide();
        Grid->show();
        Grid->setEnabled(true);
        Validity->show();
        Grid->setColumnCount(1 + static_cast<int>(columns_.size()));
        auto fixed = [](const QString& text) {
            auto* item = new QTableWidgetItem(text);
            item->setFlags(Qt::ItemIsEnabled);
            return item;
        };
        Grid->setItem(0, 0, fixed(QStringLiteral("t")));
        Grid->setItem(1, 0, fixed(QString::number(t)));
        for (int k = 0; k < static_cast<int>(columns_.size()); ++k) {
            const int n = columns_[k];
            const bool creation = m_.Sw(18) == 1;
            QTableWidgetItem* head = fixed(Q(ToMarkup(ParamSymbol(n, t, m_.Language, creation))));
            head->setToolTip(Q(Translate(ParamName(n, creation), m_.Language)));
            // Read aloud as the symbol, not as its drawing markup ("C~aut").
            head->setData(Qt::AccessibleTextRole, Q(ParamSymbol(n, t, m_.Language, creation)));
            head->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            Grid->setItem(0, k + 1, head);
            auto* value = new QTableWidgetItem(FormatValue(session_->WorkValue(n)));
            value->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            value->setToolTip(head->toolTip());
            Grid->setItem(1, k + 1, value);
        }
        Grid->setCurrentCell(1, 1);
        LayoutColumns();
    }
    filling_ = false;
    MoveHighlight();
    // An option control of the page keeps the focus through the rebuild its change causes:
    // the next key the user types belongs to it, not to the grid.
    QWidget* focused = QApplication::focusWidget();
    const bool optionFocused = focused && Notebook->currentWidget() &&
                               Notebook->currentWidget()->isAncestorOf(focused) &&
                               focused->isVisible();
    if (isVisible() && Grid->isVisible() && !optionFocused) Grid->setFocus();
    PageShown(page_);
}

void InputDialog::LayoutColumns() {
    const int columns = Grid->columnCount();
    const int width = Grid->viewport()->width();
    Grid->setColumnWidth(0, 60);
    if (columns < 2) return;
    const int each = (width - 60) / (columns - 1) - 1;
    for (int c = 1; c < columns - 1; ++c)
        Grid->setColumnWidth(c, each);
    Grid->setColumnWidth(columns - 1, width - 60 - each * (columns - 2) - 1);
}

void InputDialog::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    LayoutColumns();
}

void InputDialog::MoveHighlight() {
    const int column = Grid->currentColumn();
    QString h;
    if (!columns_.empty() && column >= 1 && Grid->item(0, column))
        h = Grid->item(0, column)->text();
    Formula->SetHighlight(h);
    Grid->viewport()->update();
}

void InputDialog::SetValueCell(int column, double value) {
    QTableWidgetItem* item = Grid->item(1, column);
    if (!item) return;
    filling_ = true;
    item->setText(FormatValue(value));
    filling_ = false;
}

void InputDialog::CommitOpenEdit() {
    if (!editor_) return;
    QAbstractItemDelegate* d = Grid->itemDelegate();
    QLineEdit* editor = editor_;
    emit d->commitData(editor);
    emit d->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool InputDialog::EnterText(int column, const QString& text) {
    QTableWidgetItem* item = Grid->item(1, column);
    if (!item || column < 1) return false;
    item->setText(text); // as a confirmed edit would
    return CheckPendingEntries();
}

bool InputDialog::CheckPendingEntries() {
    bool ok = true;
    while (!pending_.empty()) {
        const int column = *pending_.begin();
        pending_.erase(pending_.begin());
        if (column > static_cast<int>(columns_.size())) continue;
        const int n = columns_[column - 1];
        QTableWidgetItem* item = Grid->item(1, column);
        const QString text = item ? item->text().trimmed() : QString();
        const double x = ReadCellEntry(text.toStdString());
        const bool accepted = session_->Enter(host_, n, x);
        SetValueCell(column, session_->WorkValue(n));
        ok = ok && accepted;
    }
    return ok;
}

void InputDialog::ShowValidity() {
    Permanent->setChecked(session_->Permanent(page_));
    ForPeriods->setChecked(!session_->Permanent(page_));
    PeriodsEdit->setText(QString::number(session_->Periods(page_)));
    PeriodsEdit->setPalette(QPalette());
    UpdatePeriodsLabel(session_->Periods(page_));
}

void InputDialog::UpdatePeriodsLabel(long long periods) {
    PeriodsLabel->setText(QStringLiteral("&") + Tr("Periode##Period") +
                          (periods >= 2 ? Tr("n##s") : QString()));
}

void InputDialog::CommitPeriodsField() {
    const int kept = session_->SetPeriods(page_, PeriodsEdit->text().toLongLong());
    PeriodsEdit->setText(QString::number(kept));
    PeriodsEdit->setPalette(QPalette());
    UpdatePeriodsLabel(kept);
}

void InputDialog::NextTab(int step) {
    const int count = Tabs->count();
    if (count == 0) return;
    Tabs->setCurrentIndex((Tabs->currentIndex() + step + count) % count);
}

bool InputDialog::CloseWith(InputClose how) {
    // A number still being typed into an option spin box counts (Alt+S keeps the focus).
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(QApplication::focusWidget());
        spin && isAncestorOf(spin))
        spin->interpretText();
    CommitOpenEdit();
    if (!CheckPendingEntries()) return false;
    CommitPeriodsField();
    if (!session_->CheckTargets(host_, how, page_)) return false;
    closing_ = how;
    done(Accepted);
    return true;
}

void InputDialog::done(int r) {
    if (r == Accepted && closing_ == InputClose::Cancel) {
        CloseWith(InputClose::Page); // accept() from outside means "Seite Ok"
        return;
    }
    if (r != Accepted) closing_ = InputClose::Cancel;
    if (!closed_) {
        closed_ = true;
        DialogStartPage()[session_->Sector() - 1] = Tabs->currentIndex() + 1;
        session_->Close(closing_, page_);
        AfterClose(closing_);
    }
    QDialog::done(r);
}

void InputDialog::keyPressEvent(QKeyEvent* e) {
    const bool editing = Editing();
    const auto mods = e->modifiers();
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (PeriodsEdit->hasFocus() || PeriodsEdit->palette().color(QPalette::Text) == Qt::red) {
            CommitPeriodsField();
            Grid->setFocus();
        } else if (auto* button = qobject_cast<QPushButton*>(focusWidget());
                   button && button->hasFocus()) {
            button->click(); // Enter on a focused "Abbruch" cancels, it does not commit
        } else if (!editing) {
            CloseWith(mods & Qt::ShiftModifier ? InputClose::All : InputClose::Page);
        }
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if ((mods & Qt::ControlModifier) && !editing) {
            NextTab(e->key() == Qt::Key_Backtab || (mods & Qt::ShiftModifier) ? -1 : 1);
            return;
        }
        break;
    case Qt::Key_F1:
        // The focused control's topic, else the dialog's.
        if (showHelp) {
            const int topic = HelpSystem::ContextOf(focusWidget() ? focusWidget() : this);
            showHelp(topic ? topic : dialogTopic_);
        }
        return;
    default:
        break;
    }
    QDialog::keyPressEvent(e);
}

bool InputDialog::eventFilter(QObject* watched, QEvent* e) {
    if (watched == PeriodsEdit) {
        // Clicking or tabbing into the field chooses "for n periods"; getting the focus back
        // with the window (after a message) does not.
        const bool focusByUser =
            e->type() == QEvent::FocusIn &&
            static_cast<QFocusEvent*>(e)->reason() != Qt::ActiveWindowFocusReason &&
            static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason &&
            static_cast<QFocusEvent*>(e)->reason() != Qt::OtherFocusReason;
        if (e->type() == QEvent::MouseButtonPress || focusByUser) {
            session_->SetPermanent(page_, false);
            ForPeriods->setChecked(true);
        }
        if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                // Enter in the field confirms the periods and returns to the grid.
                CommitPeriodsField();
                Grid->setFocus();
                return true;
            }
        }
        return false;
    }
    if (watched == Grid->viewport() && e->type() == QEvent::Resize) LayoutColumns();
    if (e->type() != QEvent::KeyPress) return false;
    auto* k = static_cast<QKeyEvent*>(e);
    if (watched == Grid) {
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            if (k->modifiers() & Qt::ControlModifier) {
                keyPressEvent(k);
                return true;
            }
            return false;
        }
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            keyPressEvent(k);
            return true;
        }
        if (k->text() == QStringLiteral("-")) {
            // A minus on the grid adds or removes the sign of the cell and opens the editor.
            QTableWidgetItem* item = Grid->currentItem();
            if (item && item->row() == 1 && item->column() >= 1) {
                Grid->editItem(item);
                if (editor_) {
                    // The digits stay selected: typing replaces the number, the sign stays.
                    const QString text = ToggleMinus(item->text());
                    editor_->setText(text);
                    const int sign = text.startsWith(QLatin1Char('-')) ? 1 : 0;
                    editor_->setSelection(sign, text.size() - sign);
                }
            }
            return true;
        }
        const QString t = k->text();
        if (!t.isEmpty() && t[0].isPrint() && !IsNumberKey(k) && !IsSeparatorKey(k))
            return true; // letters and the like never reach a number cell
        return false;
    }
    if (auto* ed = qobject_cast<QLineEdit*>(watched)) {
        // What is typed replaces the selection, as in any text field.
        QString kept = ed->text();
        if (ed->hasSelectedText()) kept.remove(ed->selectionStart(), ed->selectedText().size());
        if (IsSeparatorKey(k)) {
            if (!kept.contains(QLatin1Char('.')) && !kept.contains(QLatin1Char(',')))
                ed->insert(DecimalPoint());
            return true;
        }
        const int pos = ed->hasSelectedText() ? ed->selectionStart() : ed->cursorPosition();
        const bool afterExponent =
            pos > 0 && (kept[pos - 1] == QLatin1Char('e') || kept[pos - 1] == QLatin1Char('E'));
        if (k->text() == QStringLiteral("-") && !ed->hasSelectedText() && !afterExponent) {
            const bool had = ed->text().startsWith(QLatin1Char('-'));
            ed->setText(ToggleMinus(ed->text()));
            ed->setCursorPosition(std::max(0, pos + (had ? -1 : 1)));
            return true;
        }
        const QString t = k->text();
        const bool exponent = t == QStringLiteral("e") || t == QStringLiteral("E") ||
                              t == QStringLiteral("+") || t == QStringLiteral("-");
        if (!t.isEmpty() && t[0].isPrint() && !IsNumberKey(k) && !exponent) return true;
        return false;
    }
    return false;
}

} // namespace tv
