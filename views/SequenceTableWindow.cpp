#include "views/SequenceTableWindow.h"

#include "logic/Settings.h"
#include "services/Printing.h"
#include "views/SequenceGraphData.h"

#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/UserHost.h"
#include "services/WindowFrame.h"
#include "windows/NumberSpinBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

namespace tv {

namespace {

QString Tr(const std::string& text, int language) {
    return QString::fromStdString(Translate(text, language));
}

// The logical column for each visual place after a refill: the columns that were shown
// before keep the order the user dragged them into, within the places they occupy; new
// columns stand where the table puts them.
std::vector<int> KeptColumnOrder(const std::vector<SequenceColumn>& before,
                                 const std::vector<SequenceColumn>& now) {
    std::vector<int> order(now.size());
    std::vector<size_t> kept;                 // places of columns that were shown before
    std::vector<std::pair<size_t, int>> rank; // (place before, logical column)
    for (size_t c = 0; c < now.size(); ++c) {
        order[c] = static_cast<int>(c);
        const auto it = std::find(before.begin(), before.end(), now[c]);
        if (it == before.end()) continue;
        kept.push_back(c);
        rank.emplace_back(static_cast<size_t>(it - before.begin()), static_cast<int>(c));
    }
    std::sort(rank.begin(), rank.end());
    for (size_t k = 0; k < kept.size(); ++k)
        order[kept[k]] = rank[k].second;
    return order;
}

} // namespace

SequenceTableState& SharedSequenceTableState() {
    static SequenceTableState state;
    return state;
}

// ---- model ---------------------------------------------------------------------------

SequenceTableModel::SequenceTableModel(const Model& m, bool differences, QObject* parent)
    : QAbstractTableModel(parent), m_(m), differences_(differences) {}

int SequenceTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(0, to_ - from_ + 1);
}

int SequenceTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

std::optional<double> SequenceTableModel::CellValue(int row, int column) const {
    return SequenceCell(m_, baseline_ ? baseline_() : nullptr, from_ + row, columns_[column],
                        differences_);
}

QString SequenceTableModel::CellText(int row, int column) const {
    const std::optional<double> x = CellValue(row, column);
    return x ? QString::fromStdString(m_.FormatNumber(*x)) : QString();
}

QVariant SequenceTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int t = from_ + index.row();
    const bool current = t == m_.Periods.CurrentPeriod;
    switch (role) {
    case Qt::DisplayRole:
        return CellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        if (current) return QColor(0x00, 0x00, 0x80);
        if (index.column() == marked_) return QApplication::palette().highlight();
        // Grid row 1 is the first period: odd grid rows white, even ones tinted.
        return index.row() % 2 == 0 ? QBrush(Qt::white) : QApplication::palette().toolTipBase();
    case Qt::ForegroundRole:
        if (current) return QColor(Qt::white);
        if (index.column() == marked_) return QApplication::palette().highlightedText();
        // Comparison columns stand apart from the model's own values.
        if (columns_[index.column()].Kind != SequenceColumnKind::Value)
            return QColor(0x1F, 0x4E, 0x9A);
        return QColor(Qt::black);
    default:
        return {};
    }
}

QVariant SequenceTableModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role == Qt::DisplayRole) {
        if (o == Qt::Vertical) return from_ + section;
        if (section < 0 || section >= static_cast<int>(columns_.size())) return {};
        return QString::fromStdString(
            SequenceColumnHeader(columns_[section], differences_, language_));
    }
    if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignCenter);
    if (role == Qt::FontRole) {
        QFont f;
        f.setBold(true);
        return f;
    }
    return {};
}

void SequenceTableModel::Fill(int from, int to, std::vector<int> variables,
                              BaselineColumnChoice choice) {
    beginResetModel();
    from_ = from;
    to_ = to;
    variables_ = std::move(variables);
    const Baseline* b = baseline_ ? baseline_() : nullptr;
    columns_ = SequenceTableColumns(variables_, b && !b->Empty(), choice);
    if (marked_ >= static_cast<int>(columns_.size())) marked_ = -1;
    endResetModel();
}

void SequenceTableModel::Refresh() {
    if (rowCount() == 0 || columnCount() == 0) return;
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void SequenceTableModel::SetMarkedColumn(int column) {
    marked_ = column;
    Refresh();
}

// ---- selection dialog ---------------------------------------------------------------

SeriesSelectionDialog::SeriesSelectionDialog(SeriesKind kind, const SeriesFlags& shown,
                                             int language, QWidget* parent, bool moneyCreation)
    : QDialog(parent), kind_(kind), shown_(shown), language_(language),
      moneyCreation_(moneyCreation) {
    setWindowTitle(Tr("Größenauswahl##Series Selection", language));
    auto* grid = new QGridLayout(this);
    const std::string noun =
        " " + Translate("Größe##Variable", language) + Translate("n##s", language);
    auto* hiddenLabel =
        new QLabel(Tr("&Unsichtbare##Hi&dden", language) + QString::fromStdString(noun));
    auto* visibleLabel =
        new QLabel(Tr("&Sichtbare##&Visible", language) + QString::fromStdString(noun));
    HiddenList = new QListWidget;
    VisibleList = new QListWidget;
    HiddenList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    VisibleList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    hiddenLabel->setBuddy(HiddenList);
    visibleLabel->setBuddy(VisibleList);
    HiddenList->setMinimumWidth(280);
    VisibleList->setMinimumWidth(280);
    IncludeButton = new QPushButton(QStringLiteral(">"));
    IncludeAllButton = new QPushButton(QStringLiteral(">>"));
    ExcludeButton = new QPushButton(QStringLiteral("<"));
    ExcludeAllButton = new QPushButton(QStringLiteral("<<"));
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {IncludeButton, IncludeAllButton, ExcludeButton, ExcludeAllButton}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    grid->addWidget(hiddenLabel, 0, 0);
    grid->addWidget(visibleLabel, 0, 2);
    grid->addWidget(HiddenList, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(VisibleList, 1, 2);
    OtherTableButton = new QPushButton;
    OtherTableButton->setAutoDefault(false);
    SynchroniseBox =
        new QCheckBox(Tr("Sequenztabellen &synchronisieren##&synchronize worksheets", language));
    OtherTableButton->hide();
    SynchroniseBox->hide();
    grid->addWidget(SynchroniseBox, 2, 0);
    grid->addWidget(OtherTableButton, 2, 2);
    BaselineGroup =
        new QGroupBox(Tr("Vergleich mit dem Basislauf##Comparison with the baseline", language));
    auto* baselineRow = new QHBoxLayout(BaselineGroup);
    BaselineValuesBox = new QCheckBox(Tr("Basis&werte##Baseline &values", language));
    BaselineDeviationBox = new QCheckBox(Tr("A&bweichung##&Deviation", language));
    BaselinePercentBox = new QCheckBox(Tr("Abweichung in &%##Deviation in &%", language));
    for (QCheckBox* b : {BaselineValuesBox, BaselineDeviationBox, BaselinePercentBox})
        baselineRow->addWidget(b);
    baselineRow->addStretch();
    BaselineGroup->hide();
    grid->addWidget(BaselineGroup, 3, 0, 1, 3);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    grid->addWidget(box, 4, 0, 1, 3);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(IncludeButton, &QPushButton::clicked, this, [this] { Include(false); });
    connect(IncludeAllButton, &QPushButton::clicked, this, [this] { Include(true); });
    connect(ExcludeButton, &QPushButton::clicked, this, [this] { Exclude(false); });
    connect(ExcludeAllButton, &QPushButton::clicked, this, [this] { Exclude(true); });
    connect(HiddenList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        shown_[item->data(Qt::UserRole).toInt()] = true;
        Fill();
    });
    connect(VisibleList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        shown_[item->data(Qt::UserRole).toInt()] = false;
        Fill();
    });
    connect(HiddenList, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(VisibleList, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    HiddenList->installEventFilter(this);
    VisibleList->installEventFilter(this);
    Fill();
}

void SeriesSelectionDialog::SetBaselineChoice(const BaselineColumnChoice& choice) {
    BaselineValuesBox->setChecked(choice.Values);
    BaselineDeviationBox->setChecked(choice.Deviation);
    BaselinePercentBox->setChecked(choice.Percent);
}

BaselineColumnChoice SeriesSelectionDialog::BaselineChoice() const {
    return {BaselineValuesBox->isChecked(), BaselineDeviationBox->isChecked(),
            BaselinePercentBox->isChecked()};
}

void SeriesSelectionDialog::SetShown(const SeriesFlags& shown) {
    shown_ = shown;
    Fill();
}

void SeriesSelectionDialog::Fill() {
    auto fill = [](QListWidget* list, const std::vector<SeriesListItem>& items) {
        list->clear();
        for (const auto& it : items) {
            auto* item = new QListWidgetItem(QString::fromStdString(it.Text), list);
            item->setData(Qt::UserRole, it.Number);
        }
    };
    fill(HiddenList, HiddenSeries(kind_, shown_, language_, moneyCreation_));
    fill(VisibleList, VisibleSeries(kind_, shown_, language_, moneyCreation_));
    UpdateButtons();
}

void SeriesSelectionDialog::UpdateButtons() {
    IncludeButton->setEnabled(!HiddenList->selectedItems().isEmpty());
    IncludeAllButton->setEnabled(HiddenList->count() > 0);
    ExcludeButton->setEnabled(!VisibleList->selectedItems().isEmpty());
    ExcludeAllButton->setEnabled(VisibleList->count() > 0);
}

void SeriesSelectionDialog::Include(bool all) {
    for (int i = 0; i < HiddenList->count(); ++i)
        if (all || HiddenList->item(i)->isSelected())
            shown_[HiddenList->item(i)->data(Qt::UserRole).toInt()] = true;
    Fill();
}

void SeriesSelectionDialog::Exclude(bool all) {
    for (int i = 0; i < VisibleList->count(); ++i)
        if (all || VisibleList->item(i)->isSelected())
            shown_[VisibleList->item(i)->data(Qt::UserRole).toInt()] = false;
    Fill();
}

bool SeriesSelectionDialog::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        const bool shift = k->modifiers() & Qt::ShiftModifier;
        if (o == HiddenList && k->key() == Qt::Key_Right) {
            Include(shift);
            return true;
        }
        if (o == VisibleList && k->key() == Qt::Key_Left) {
            Exclude(shift);
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

// ---- window -----------------------------------------------------------------------------

SequenceTableWindow::SequenceTableWindow(WindowFrame& frame, bool differences)
    : WorkingWindow(frame), differences_(differences) {
    setWindowTitle(Tr(differences ? SequenceDifferencesCaption : SequenceAbsoluteCaption,
                      frame.model().Language));
    TableModel = new SequenceTableModel(frame.model(), differences, this);
    TableModel->SetBaselineSource([f = &frame] { return f->baseline(); });
    Grid = new QTableView;
    Grid->setModel(TableModel);
    Grid->setCornerButtonEnabled(false);
    Grid->horizontalHeader()->setSectionsMovable(true);
    Grid->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    Grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid->setContextMenuPolicy(Qt::CustomContextMenu);
    Grid->setAlternatingRowColors(false);
    // The corner cell reads "t" over the period column.
    auto* corner = new QLabel(QStringLiteral("<b>t</b>"), Grid);
    corner->setAlignment(Qt::AlignCenter);
    corner->setAttribute(Qt::WA_TransparentForMouseEvents);
    corner->setObjectName(QStringLiteral("CornerLabel"));
    connect(Grid->horizontalHeader(), &QHeaderView::geometriesChanged, corner, [this, corner] {
        corner->setGeometry(0, 0, Grid->verticalHeader()->width(),
                            Grid->horizontalHeader()->height());
    });
    setWidget(Grid);
    connect(Grid->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        TableModel->SetMarkedColumn(TableModel->MarkedColumn() == column ? -1 : column);
    });
    connect(Grid, &QTableView::clicked, this, [this] {
        if (TableModel->MarkedColumn() >= 0) TableModel->SetMarkedColumn(-1);
    });
    connect(Grid->horizontalHeader(), &QHeaderView::sectionMoved, this,
            [this] { TableModel->SetMarkedColumn(-1); });
    connect(Grid, &QWidget::customContextMenuRequested, this, [this] { ContextAction(); });
    Grid->installEventFilter(this);

    if (auto* menu = systemMenu()) {
        menu->addSeparator();
        menu->addAction(Tr("Größen&auswahl##&Select Series", frame.model().Language), this,
                        [this] { OpenSelectionDialog(); })
            ->setObjectName(QStringLiteral("SequenzGroessenauswahl"));
        AddBaselineMenu(menu);
    }

    SequenceTableState& state = SharedSequenceTableState();
    const int slot = differences_ ? 1 : 0;
    if (!state.SynchroniseRead) {
        state.SynchroniseRead = true;
        if (const Settings* settings = frame.userSettings())
            state.Synchronise = settings->Synchronous;
        if (const WindowSettings* ws = frame.windowSettings())
            state.Synchronise = ws->Flag(SequenceGeneralSection, "Synchron", state.Synchronise);
        if (const WindowSettings* ws = frame.windowSettings()) {
            BaselineColumnChoice& c = state.BaselineColumns;
            c.Values = ws->Flag(SequenceGeneralSection, "BasislaufWerte", c.Values);
            c.Deviation = ws->Flag(SequenceGeneralSection, "BasislaufAbweichung", c.Deviation);
            c.Percent = ws->Flag(SequenceGeneralSection, "BasislaufProzent", c.Percent);
        }
    }
    SeriesFlags set = DefaultSequenceSet(frame.model());
    if (state.HasSet[slot])
        set = state.Sets[slot];
    else if (const WindowSettings* ws = frame.windowSettings())
        set =
            ReadSeriesFlags(*ws, SequenceTableSection(differences_), "", SeriesKind::Variable, set);
    if (state.Synchronise)
        if (SequenceTableWindow* other = OtherTable()) set = other->Visible();
    ApplyFont();
    UpdateBaselineMenu();
    SetVisible(set);
    // Wide enough for every column, as far as the main window's area allows.
    int width = Grid->verticalHeader()->sizeHint().width() +
                Grid->verticalScrollBar()->sizeHint().width() + 2 * Grid->frameWidth() + 24;
    for (int c = 0; c < TableModel->columnCount(); ++c)
        width += Grid->columnWidth(c);
    const QMdiArea* area = frame.mdiArea();
    const int room = area && area->width() > 0 ? area->width()
                     : screen()                ? screen()->availableGeometry().width()
                                               : 1024;
    resize(std::clamp(width, 520, std::max(520, room)), 420);
}

SequenceTableWindow::~SequenceTableWindow() {
    // The frame may be gone already (program end); the settings have the set since it changed.
    Remember(false);
}

void SequenceTableWindow::Remember(bool toSettings) {
    SequenceTableState& state = SharedSequenceTableState();
    state.Sets[differences_ ? 1 : 0] = visible_;
    state.HasSet[differences_ ? 1 : 0] = true;
    if (!toSettings) return;
    if (WindowSettings* ws = frame().windowSettings())
        WriteSeriesFlags(*ws, SequenceTableSection(differences_), "", SeriesKind::Variable,
                         visible_);
}

SequenceTableWindow* SequenceTableWindow::OtherTable() const {
    QMdiArea* area = frame().mdiArea();
    if (!area) return nullptr;
    for (QMdiSubWindow* w : area->subWindowList())
        if (auto* t = qobject_cast<SequenceTableWindow*>(w))
            if (t != this && t->differences_ != differences_) return t;
    return nullptr;
}

void SequenceTableWindow::SetVisible(const SeriesFlags& visible) {
    visible_ = FinishTableSelection(visible);
    Remember();
    Rebuild();
}

void SequenceTableWindow::Rebuild() {
    const Model& m = frame().model();
    QHeaderView* header = Grid->horizontalHeader();
    std::vector<SequenceColumn> shown; // in the order the user sees them
    for (int v = 0; v < header->count(); ++v) {
        const int c = header->logicalIndex(v);
        if (c >= 0 && c < TableModel->columnCount()) shown.push_back(TableModel->ColumnAt(c));
    }
    TableModel->SetLanguage(m.Language);
    TableModel->Fill(m.Periods.LeftEdge, m.Periods.RightEdge, SequenceColumns(visible_),
                     SharedSequenceTableState().BaselineColumns);
    const std::vector<int> order = KeptColumnOrder(shown, TableModel->TableColumns());
    for (int v = 0; v < static_cast<int>(order.size()); ++v)
        if (header->visualIndex(order[v]) != v)
            header->moveSection(header->visualIndex(order[v]), v);
    // Column widths from the widest text of each column (headers in bold), at least the
    // default. The numbers are measured on the edges and the current period: long
    // intervals must not be formatted in full before the window opens.
    const QFontMetrics fm(Grid->font());
    QFont bold = Grid->font();
    bold.setBold(true);
    const QFontMetrics bm(bold);
    const int rows = TableModel->rowCount();
    for (int c = 0; c < TableModel->columnCount(); ++c) {
        int width = bm.horizontalAdvance(
            TableModel->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
        const int step = std::max(1, rows / 200);
        for (int r = 0; r < rows; r += step)
            width = std::max(width, fm.horizontalAdvance(TableModel->CellText(r, c)));
        if (rows > 0)
            width = std::max(width, fm.horizontalAdvance(TableModel->CellText(rows - 1, c)));
        Grid->setColumnWidth(c,
                             std::max(width + 8, Grid->horizontalHeader()->defaultSectionSize()));
    }
}

void SequenceTableWindow::ApplyFont() {
    QFont f = frame().screenFont();
    Grid->setFont(f);
    QFont bold = f;
    bold.setBold(true);
    Grid->horizontalHeader()->setFont(bold);
    Grid->verticalHeader()->setFont(bold);
    Grid->verticalHeader()->setDefaultSectionSize(QFontMetrics(f).height() + 6);
}

void SequenceTableWindow::RefreshLanguage() {
    const int language = frame().model().Language;
    setWindowTitle(
        Tr(differences_ ? SequenceDifferencesCaption : SequenceAbsoluteCaption, language));
    Grid->setToolTip(Tr("| Variablenauswahl und Kennzahlen für markierte Zellen mit RECHTER "
                        "MAUSTASTE##| CLICK RIGHT to choose variables and get information "
                        "about marked cells",
                        language)
                         .mid(2));
    if (auto* menu = systemMenu()) {
        if (auto* a = menu->findChild<QAction*>(QStringLiteral("SequenzGroessenauswahl")))
            a->setText(Tr("Größen&auswahl##&Select Series", language));
    }
    if (baselineValues_) {
        baselineValues_->setText(Tr("Basislauf: &Werte##Baseline: &Values", language));
        baselineDeviation_->setText(Tr("Basislauf: A&bweichung##Baseline: &Deviation", language));
        baselinePercent_->setText(
            Tr("Basislauf: Abweichung in &%##Baseline: Deviation in &%", language));
    }
    TableModel->SetLanguage(language);
    TableModel->Refresh();
}

long SequenceTableWindow::Message(int msg, long wParam, long lParam) {
    const Model& m = frame().model();
    switch (msg) {
    case MSG_PERIOD_MOVED:
        if (TableModel->From() != m.Periods.LeftEdge || TableModel->To() != m.Periods.RightEdge)
            Rebuild();
        else
            TableModel->Refresh();
        // The highlighted row stays in sight (a period run moves it below the window).
        if (const int row = m.Periods.CurrentPeriod - TableModel->From();
            row >= 0 && row < TableModel->rowCount() && TableModel->columnCount() > 0)
            Grid->scrollTo(TableModel->index(row, std::max(0, Grid->columnAt(0))),
                           QAbstractItemView::EnsureVisible);
        return 0;
    case MSG_MODEL_CHANGED:
    case MSG_NUMBER_FORMAT:
        Rebuild();
        return 0;
    case MSG_SCREEN_FONT:
        ApplyFont();
        Rebuild();
        return 0;
    case MSG_SAVE_SETTINGS:
        Remember();
        return 0;
    case MSG_BASELINE_CHANGED:
        UpdateBaselineMenu();
        Rebuild();
        return 0;
    case MSG_PRINT:
        Print();
        return 0;
    default:
        return WorkingWindow::Message(msg, wParam, lParam);
    }
}

std::vector<std::string> SequenceTableWindow::SelectionStatistics(std::string* caption) const {
    const Model& m = frame().model();
    int column = TableModel->MarkedColumn();
    std::vector<int> rows;
    if (column >= 0) {
        for (int r = 0; r < TableModel->rowCount(); ++r)
            rows.push_back(r);
    } else {
        const QModelIndexList sel = Grid->selectionModel()->selectedIndexes();
        if (sel.isEmpty()) return {};
        column = sel.first().column();
        for (const QModelIndex& i : sel)
            rows.push_back(i.row());
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    }
    if (rows.size() < 2 || column < 0 || column >= TableModel->columnCount()) return {};
    const SequenceColumn& col = TableModel->ColumnAt(column);
    std::vector<std::pair<int, double>> cells;
    for (int r : rows)
        if (const std::optional<double> x = TableModel->CellValue(r, column))
            cells.emplace_back(TableModel->PeriodOfRow(r), *x);
    if (cells.size() < 2) return {};
    const RangeStatistics s = ComputeRangeStatistics(cells);
    if (caption) {
        *caption = Translate(VarName(col.Var), m.Language);
        // A comparison column says which one it is.
        if (col.Kind != SequenceColumnKind::Value)
            *caption += " [" + SequenceColumnHeader(col, differences_, m.Language) + "]";
        *caption +=
            ": " + std::to_string(cells.front().first) + " - " + std::to_string(cells.back().first);
    }
    std::vector<std::string> lines{" " +
                                   Translate("Periodenanzahl##Number of Periods", m.Language) +
                                   ": " + std::to_string(s.Count)};
    for (auto& line : RangeStatisticsLines(s, m, m.Language))
        lines.push_back(std::move(line));
    return lines;
}

void SequenceTableWindow::AddBaselineMenu(QMenu* menu) {
    auto entry = [this, menu](const char* name, bool BaselineColumnChoice::*field) {
        QAction* a = menu->addAction(QString());
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, field](bool on) {
            BaselineColumnChoice choice = SharedSequenceTableState().BaselineColumns;
            choice.*field = on;
            SetBaselineColumns(choice);
        });
        return a;
    };
    menu->addSeparator();
    baselineValues_ = entry("SequenzBasisWerte", &BaselineColumnChoice::Values);
    baselineDeviation_ = entry("SequenzBasisAbweichung", &BaselineColumnChoice::Deviation);
    baselinePercent_ = entry("SequenzBasisProzent", &BaselineColumnChoice::Percent);
    UpdateBaselineMenu();
}

void SequenceTableWindow::UpdateBaselineMenu() {
    if (!baselineValues_) return;
    const BaselineColumnChoice& c = SharedSequenceTableState().BaselineColumns;
    const Baseline* b = frame().baseline();
    const bool present = b && !b->Empty();
    for (auto [a, on] :
         {std::pair{baselineValues_, c.Values}, std::pair{baselineDeviation_, c.Deviation},
          std::pair{baselinePercent_, c.Percent}}) {
        a->setChecked(on);
        a->setEnabled(present);
    }
}

void SequenceTableWindow::SetBaselineColumns(const BaselineColumnChoice& choice) {
    SharedSequenceTableState().BaselineColumns = choice;
    if (WindowSettings* ws = frame().windowSettings()) {
        ws->SetFlag(SequenceGeneralSection, "BasislaufWerte", choice.Values);
        ws->SetFlag(SequenceGeneralSection, "BasislaufAbweichung", choice.Deviation);
        ws->SetFlag(SequenceGeneralSection, "BasislaufProzent", choice.Percent);
    }
    UpdateBaselineMenu();
    Rebuild();
    if (SequenceTableWindow* other = OtherTable()) {
        other->UpdateBaselineMenu();
        other->Rebuild();
    }
}

void SequenceTableWindow::ContextAction() {
    std::string caption;
    const std::vector<std::string> lines = SelectionStatistics(&caption);
    if (lines.empty()) {
        OpenSelectionDialog();
        return;
    }
    QDialog dialog(this);
    dialog.setWindowTitle(QString::fromStdString(caption));
    auto* layout = new QVBoxLayout(&dialog);
    auto* panel = new QLabel(QString::fromStdString(lines.front()));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    layout->addWidget(panel);
    auto* list = new QListWidget;
    for (size_t i = 1; i < lines.size(); ++i)
        list->addItem(QString::fromStdString(lines[i]));
    layout->addWidget(list);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(box);
    dialog.exec();
}

void SequenceTableWindow::OpenSelectionDialog() {
    const int language = frame().model().Language;
    SequenceTableState& state = SharedSequenceTableState();
    SeriesSelectionDialog dialog(SeriesKind::Variable, visible_, language, this);
    SequenceTableWindow* other = OtherTable();
    dialog.OtherTableButton->setText(
        Tr(differences_ ? "&wie Sequenztabelle für Absolutwerte##as &worksheet for absolute values"
                        : "&wie Sequenztabelle für Differenzen##as &worksheet for differences",
           language));
    dialog.OtherTableButton->setEnabled(other != nullptr);
    dialog.OtherTableButton->show();
    dialog.SynchroniseBox->setChecked(state.Synchronise);
    dialog.SynchroniseBox->show();
    // The comparison columns can be chosen before there is a baseline to compare with.
    dialog.SetBaselineChoice(state.BaselineColumns);
    dialog.BaselineGroup->show();
    connect(dialog.OtherTableButton, &QPushButton::clicked, &dialog, [&dialog, this] {
        if (SequenceTableWindow* o = OtherTable()) dialog.SetShown(o->Visible());
    });
    if (dialog.exec() != QDialog::Accepted) return;
    state.Synchronise = dialog.SynchroniseBox->isChecked();
    if (dialog.BaselineChoice() != state.BaselineColumns)
        SetBaselineColumns(dialog.BaselineChoice());
    if (WindowSettings* ws = frame().windowSettings())
        ws->SetFlag(SequenceGeneralSection, "Synchron", state.Synchronise);
    SetVisible(dialog.Shown());
    if (state.Synchronise)
        if (SequenceTableWindow* o = OtherTable()) o->SetVisible(visible_);
}

bool SequenceTableWindow::eventFilter(QObject* o, QEvent* e) {
    if (o == Grid && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Delete) return true;
        if (k->key() == Qt::Key_Escape) {
            close();
            return true;
        }
    }
    return WorkingWindow::eventFilter(o, e);
}

void SequenceTableWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    WorkingWindow::keyPressEvent(e);
}

void SequenceTableWindow::PaintTo(const PaintTarget& target) {
    if (!target.painter) return;
    QPainter& p = *target.painter;
    const QRect body = target.body;
    const Model& m = frame().model();
    QFont font = target.kind == PaintTarget::Printer ? frame().printerFont() : Grid->font();
    p.save();
    const int cols = TableModel->columnCount();
    const QString widest = QStringLiteral("-0000000.00");
    // Comparison columns multiply the columns: a smaller font keeps them all on the page
    // rather than cutting the last variables off.
    const int need = (cols + 1) * (QFontMetrics(font, target.device).horizontalAdvance(widest) + 8);
    const bool shrunk = need > body.width();
    if (shrunk) {
        const double factor = static_cast<double>(body.width()) / need;
        if (font.pointSizeF() > 0)
            font.setPointSizeF(std::max(4.0, font.pointSizeF() * factor));
        else
            font.setPixelSize(std::max(6, static_cast<int>(font.pixelSize() * factor)));
    }
    p.setFont(font);
    const QFontMetrics fm(font, target.device);
    const int rowHeight = fm.height() * 5 / 4;
    const int share = body.width() / std::max(1, cols + 1);
    const int columnWidth = shrunk ? share : std::max(fm.horizontalAdvance(widest) + 8, share);
    QFont bold = font;
    bold.setBold(true);
    auto cell = [&](int row, int col, const QString& text, bool isBold, Qt::Alignment align) {
        const QRect r(body.left() + col * columnWidth, body.top() + row * rowHeight, columnWidth,
                      rowHeight);
        if (r.right() > body.right() + 1) return;
        p.setFont(isBold ? bold : font);
        p.drawRect(r);
        p.drawText(r.adjusted(4, 0, -4, 0), align | Qt::AlignVCenter, text);
    };
    p.setPen(TextColour(target));
    cell(0, 0, QStringLiteral("t"), true, Qt::AlignHCenter);
    for (int c = 0; c < cols; ++c)
        cell(0, c + 1, TableModel->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), true,
             Qt::AlignHCenter);
    const int fit = std::max(0, body.height() / rowHeight - 1);
    for (int r = 0; r < std::min(fit, TableModel->rowCount()); ++r) {
        cell(r + 1, 0, QString::number(TableModel->PeriodOfRow(r)), true, Qt::AlignHCenter);
        for (int c = 0; c < cols; ++c)
            cell(r + 1, c + 1, TableModel->CellText(r, c), false, Qt::AlignRight);
    }
    (void)m;
    p.restore();
}

// ---- number format ------------------------------------------------------------------

NumberFormatDialog::NumberFormatDialog(int decimals, int integerDigits, int language,
                                       QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(Tr("Zahlenformat##Number formatting", language));
    auto* layout = new QVBoxLayout(this);
    auto group = [&](const char* title, const char* label, int value, QSpinBox*& box) {
        auto* g = new QGroupBox(Tr(title, language));
        auto* row = new QHBoxLayout(g);
        box = new NumberSpinBox;
        box->setRange(0, 10);
        box->setValue(value);
        auto* l = new QLabel(Tr(label, language));
        l->setBuddy(box);
        row->addWidget(l);
        row->addWidget(box);
        layout->addWidget(g);
    };
    group("&Runden##&Rounding",
          "Anzahl an signifikanten Nachkommastellen##significant post-decimal positions", decimals,
          DecimalsBox);
    group("Übergang zu &wiss. Zahlenformat##Switch to &scientific format",
          "max. Anzahl an Vorkommastellen##max. number of integer digits", integerDigits,
          IntegerDigitsBox);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
}

int EditNumberFormat(Model& m, QWidget* parent) {
    NumberFormatDialog dialog(m.DecimalPlaces, m.IntegerDigits, m.Language, parent);
    if (dialog.exec() != QDialog::Accepted) return 0;
    int bits = 0;
    if (dialog.IntegerDigitsBox->value() != m.IntegerDigits) bits |= 1;
    if (dialog.DecimalsBox->value() != m.DecimalPlaces) bits |= 2;
    m.IntegerDigits = static_cast<uint8_t>(dialog.IntegerDigitsBox->value());
    m.DecimalPlaces = static_cast<uint8_t>(dialog.DecimalsBox->value());
    return bits;
}

void SequenceTableWindow::Print() {
    const Model& m = frame().model();
    PeriodPrintDialog range(m.Periods.LeftEdge, m.Periods.CurrentPeriod, m.Periods.RightEdge, this,
                            m.Language);
    int first = -1, last = -1;
    for (const QModelIndex& index : Grid->selectionModel()->selectedIndexes()) {
        first = first < 0 ? index.row() : std::min(first, index.row());
        last = std::max(last, index.row());
    }
    if (first >= 0 && last > first)
        range.Preset(TableModel->PeriodOfRow(first), TableModel->PeriodOfRow(last));
    if (range.exec() != QDialog::Accepted) return;
    PrintPeriods(range.From(), range.To());
}

void SequenceTableWindow::PrintPeriods(int from, int to) {
    const Model& m = frame().model();
    // A table of its own for the print range: the window keeps its interval and scroll
    // position.
    SequenceTableModel table(m, differences_);
    table.SetLanguage(m.Language);
    table.SetBaselineSource([f = &frame()] { return f->baseline(); });
    table.Fill(from, to, SequenceColumns(visible_), SharedSequenceTableState().BaselineColumns);
    std::vector<int> order; // logical columns in the order the grid shows them
    for (int v = 0; v < Grid->horizontalHeader()->count(); ++v) {
        const int c = Grid->horizontalHeader()->logicalIndex(v);
        if (c >= 0 && c < table.columnCount()) order.push_back(c);
    }
    if (static_cast<int>(order.size()) != table.columnCount()) {
        order.clear();
        for (int c = 0; c < table.columnCount(); ++c)
            order.push_back(c);
    }

    const QFont font = frame().printerFont();
    QFont titleBase = font; // the title is the print font enlarged by 2 points
    titleBase.setPointSizeF(std::max(1.0, font.pointSizeF() - 2));
    QPainter painter;
    if (!BeginPrintJob(painter, titleBase)) return;
    QPrinter& printer = frame().printer();
    QFont footerFont = font;
    footerFont.setPointSizeF(std::max(1.0, font.pointSizeF() - 2));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm"));
    const QString footerText =
        frame().programTitle() + QStringLiteral(", ") + Tr("Modell##Model", m.Language) +
        QStringLiteral(": ") + frame().modelBaseName() + QStringLiteral(" (") +
        Tr("Stand##As of", m.Language) + QStringLiteral(": ") + stamp + QStringLiteral(")");
    auto footer = [footerFont, footerText, language = m.Language](QPainter& p, int page) {
        p.save();
        p.setFont(footerFont);
        p.setPen(Qt::black);
        const QFontMetrics fm(footerFont, p.device());
        p.drawText(p.device()->width() / 10, p.device()->height() - 2 * fm.height() + fm.ascent(),
                   footerText + PageNumberSuffix(page, language));
        p.restore();
    };
    PageFlow flow(painter, printer, titleBase, font, windowTitle(), footer);

    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics fm(font, &printer), bm(bold, &printer);
    const int pad = fm.averageCharWidth();
    const int rowHeight = fm.height() * 5 / 4;
    // Every column as wide as its widest text: nothing is cut, and the columns that do
    // not fit beside each other go to the next block of pages.
    auto widthOf = [&](int c) {
        int w =
            bm.horizontalAdvance(table.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
        for (int r = 0; r < table.rowCount(); ++r)
            w = std::max(w, fm.horizontalAdvance(table.CellText(r, c)));
        return w + 2 * pad;
    };
    int periodWidth = bm.horizontalAdvance(QStringLiteral("t"));
    for (int r = 0; r < table.rowCount(); ++r)
        periodWidth =
            std::max(periodWidth, bm.horizontalAdvance(QString::number(table.PeriodOfRow(r))));
    periodWidth += 2 * pad;
    std::vector<int> widths;
    for (int c : order)
        widths.push_back(widthOf(c));
    const QRect& body = flow.Body();
    auto cell = [&](int x, int y, int w, const QString& text, bool isBold, Qt::Alignment align) {
        const QRect r(x, y, w, rowHeight);
        painter.setFont(isBold ? bold : font);
        painter.drawRect(r);
        painter.drawText(r.adjusted(pad, 0, -pad, 0), align | Qt::AlignVCenter, text);
    };
    painter.save();
    painter.setPen(frame().printerFontColour());
    size_t next = 0;
    bool firstBlock = true;
    while (next < order.size() || firstBlock) {
        // The columns of this block: as many as fit beside the period column (at least one).
        size_t end = next;
        int used = periodWidth;
        while (end < order.size() && (end == next || used + widths[end] <= body.width()))
            used += widths[end++];
        if (!firstBlock) flow.NewPage();
        firstBlock = false;
        auto header = [&] {
            int x = body.left();
            cell(x, flow.Y(), periodWidth, QStringLiteral("t"), true, Qt::AlignHCenter);
            x += periodWidth;
            for (size_t k = next; k < end; ++k) {
                cell(x, flow.Y(), widths[k],
                     table.headerData(order[k], Qt::Horizontal, Qt::DisplayRole).toString(), true,
                     Qt::AlignHCenter);
                x += widths[k];
            }
            flow.Advance(rowHeight);
        };
        header();
        for (int r = 0; r < table.rowCount(); ++r) {
            if (flow.Y() + rowHeight > body.bottom()) {
                flow.NewPage();
                header();
            }
            int x = body.left();
            cell(x, flow.Y(), periodWidth, QString::number(table.PeriodOfRow(r)), true,
                 Qt::AlignHCenter);
            x += periodWidth;
            for (size_t k = next; k < end; ++k) {
                cell(x, flow.Y(), widths[k], table.CellText(r, order[k]), false, Qt::AlignRight);
                x += widths[k];
            }
            flow.Advance(rowHeight);
        }
        next = end;
    }
    painter.restore();
    flow.Finish();
    painter.end();
}

} // namespace tv
