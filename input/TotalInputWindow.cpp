#include "input/TotalInputWindow.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/UserHost.h"
#include "services/Printing.h"
#include "services/WindowFrame.h"
#include "windows/EquationSystem.h"
#include "windows/NumberSpinBox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

namespace tv {

namespace {

QString Display(const std::string& bilingual, int language) {
    return QString::fromStdString(Translate(bilingual, language));
}

QString NoAmpersand(QString s) {
    return s.remove(QLatin1Char('&'));
}

const char* const kAllTab = "Alles##All";

} // namespace

int& LastInputSector() {
    static int sector = 0;
    return sector;
}

// ---------------------------------------------------------------- model

TotalInputModel::TotalInputModel(TotalInputSheet& sheet, UserHost& host, QObject* parent)
    : QAbstractTableModel(parent), sheet_(sheet), host_(host) {}

int TotalInputModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(0, sheet_.RowCount());
}

int TotalInputModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : sheet_.ColumnCount();
}

QString TotalInputModel::Text(int row, int column) const {
    return QString::fromStdString(
        EquationValue(sheet_.Value(row, column), sheet_.model().DecimalSeparator));
}

QVariant TotalInputModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int row = index.row(), column = index.column();
    const bool current = sheet_.PeriodOfRow(row) == current_;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return Text(row, column);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        if (current) return QColor(Qt::darkBlue);
        return row % 2 ? QApplication::palette().color(QPalette::ToolTipBase) : QColor(Qt::white);
    case Qt::ForegroundRole:
        return current ? QColor(Qt::white) : QColor(Qt::black);
    case Qt::FontRole:
        // Edits not yet accepted stand out.
        if (sheet_.HasEdits() && sheet_.Edited(row, column)) {
            QFont f;
            f.setBold(true);
            return f;
        }
        return {};
    default:
        return {};
    }
}

bool TotalInputModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    const std::string text = value.toString().trimmed().toStdString();
    if (text == Text(index.row(), index.column()).toStdString()) return false; // untouched
    if (!sheet_.EnterText(host_, index.row(), index.column(), text)) {
        emit dataChanged(index, index);
        return false;
    }
    emit dataChanged(index, index);
    emit edited(index.row(), index.column());
    return true;
}

Qt::ItemFlags TotalInputModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

// Parameter 54 is named after the money supply it grows, as in the input dialog.
const std::string& TotalInputModel::ColumnName(int column) const {
    return ParamName(sheet_.ParamOfColumn(column), sheet_.model().Sw(18) == 1);
}

QString TotalInputModel::Heading(int column) const {
    const QString name = Display(ColumnName(column), language_);
    const int symbol = name.lastIndexOf(QLatin1Char('('));
    if (symbol <= 0) return name;
    QString text = name.left(symbol).trimmed();
    // Long names take two lines, broken at the blank or comma nearest the middle, so that
    // the columns stay narrow.
    if (text.size() > 22) {
        int best = -1;
        for (int i = 1; i + 1 < text.size(); ++i)
            if ((text[i] == QLatin1Char(' ') || text[i] == QLatin1Char(',')) &&
                (best < 0 || std::abs(i - text.size() / 2) < std::abs(best - text.size() / 2)))
                best = i;
        if (best > 0)
            text = text.left(best + (text[best] == QLatin1Char(',') ? 1 : 0)).trimmed() +
                   QLatin1Char('\n') + text.mid(best + 1).trimmed();
    }
    return text + QLatin1Char('\n') + name.mid(symbol);
}

QVariant TotalInputModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role == Qt::DisplayRole) {
        if (o == Qt::Horizontal)
            return section < sheet_.ColumnCount() ? Heading(section) : QString();
        return QString::number(sheet_.PeriodOfRow(section));
    }
    if (role == Qt::ToolTipRole && o == Qt::Horizontal && section < sheet_.ColumnCount())
        return Display(ColumnName(section), language_);
    if (role == Qt::TextAlignmentRole) return Qt::AlignCenter;
    return {};
}

void TotalInputModel::Reset() {
    beginResetModel();
    endResetModel();
}

void TotalInputModel::ValuesChanged() {
    if (rowCount() == 0 || columnCount() == 0) return;
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void TotalInputModel::SetCurrentPeriod(int period) {
    const int old = current_;
    current_ = period;
    if (columnCount() == 0) return;
    for (int p : {old, period}) {
        const int row = p - sheet_.FirstPeriod();
        if (row >= 0 && row < rowCount())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    }
}

// ---------------------------------------------------------------- repeat dialog

RepeatPasteDialog::RepeatPasteDialog(int period, int maxFurther, int language, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(Display("Kopier-Service##Copy service", language));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    Label = new QLabel(Display("In Periode##In period", language) +
                       QStringLiteral(" %1 ").arg(period) + Display("und in##and in", language));
    Further = new NumberSpinBox;
    Further->setRange(0, std::max(0, maxFurther));
    auto* further = new QLabel(Display("weiteren Perioden##further periods", language));
    row->addWidget(Label);
    row->addWidget(Further);
    row->addWidget(further);
    row->addStretch();
    layout->addLayout(row);
    ToRightEdge =
        new QCheckBox(Display("bis zum rechten Analyserand##up to the right border", language));
    layout->addWidget(ToRightEdge);
    connect(ToRightEdge, &QCheckBox::toggled, this, [this, further](bool on) {
        Label->setEnabled(!on);
        further->setEnabled(!on);
        Further->setEnabled(!on);
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)
        ->setText(NoAmpersand(Display("A&bbruch##&Cancel", language)));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

int RepeatPasteDialog::Repeat() const {
    return ToRightEdge->isChecked() ? -1 : Further->value() + 1;
}

// ---------------------------------------------------------------- window

TotalInputWindow::TotalInputWindow(WindowFrame& frame)
    : WorkingWindow(frame), sheet_(frame.model()) {
    setAttribute(Qt::WA_DeleteOnClose);
    shown_.fill(true);
    BuildWidgets();
    resize(760, 420);
}

TotalInputWindow::~TotalInputWindow() = default;

QString TotalInputWindow::Tr(const char* text) const {
    return Display(text, frame().model().Language);
}

void TotalInputWindow::BuildWidgets() {
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);

    SectorTabs = new QTabBar;
    SectorTabs->setObjectName(QStringLiteral("TCRubrik"));
    SectorTabs->setExpanding(false);
    SectorTabs->setDrawBase(false);
    PageTabs = new QTabBar;
    PageTabs->setObjectName(QStringLiteral("TSKomponente"));
    PageTabs->setShape(QTabBar::RoundedSouth);
    PageTabs->setExpanding(false);
    PageTabs->setDrawBase(false);
    for (int s = 0; s < 6; ++s)
        SectorTabs->addTab(QString());

    auto* middle = new QHBoxLayout;
    TableModel = new TotalInputModel(sheet_, frame().host(), this);
    Grid = new QTableView;
    Grid->setObjectName(QStringLiteral("ProfGrid1"));
    Grid->setModel(TableModel);
    Grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    Grid->setContextMenuPolicy(Qt::CustomContextMenu);
    Grid->setTabKeyNavigation(false);
    Grid->setWordWrap(false);
    Grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    Grid->installEventFilter(this);
    // Cell (0, 0) reads "t"; the view's corner has no text of its own.
    auto* corner = new QLabel(QStringLiteral("t"), Grid);
    corner->setAlignment(Qt::AlignCenter);
    corner->setAttribute(Qt::WA_TransparentForMouseEvents);
    const auto placeCorner = [this, corner] {
        corner->setGeometry(Grid->frameWidth(), Grid->frameWidth(), Grid->verticalHeader()->width(),
                            Grid->horizontalHeader()->height());
        corner->setFont(Grid->horizontalHeader()->font());
        corner->raise();
    };
    connect(Grid->horizontalHeader(), &QHeaderView::geometriesChanged, corner, placeCorner);
    connect(Grid->verticalHeader(), &QHeaderView::geometriesChanged, corner, placeCorner);
    middle->addWidget(Grid, 1);

    DetailsPanel = new QWidget;
    DetailsPanel->setObjectName(QStringLiteral("PanelDetails"));
    auto* details = new QVBoxLayout(DetailsPanel);
    details->setContentsMargins(0, 0, 0, 0);
    DetailList = new QListWidget;
    DetailList->setObjectName(QStringLiteral("CLBDetail"));
    details->addWidget(DetailList, 1);
    auto* detailButtons = new QHBoxLayout;
    DetailsAll = new QPushButton;
    DetailsNone = new QPushButton;
    detailButtons->addWidget(DetailsAll);
    detailButtons->addWidget(DetailsNone);
    details->addLayout(detailButtons);
    DetailsPanel->setFixedWidth(260);
    DetailsPanel->hide();
    middle->addWidget(DetailsPanel);

    auto* bottom = new QHBoxLayout;
    DetailsBox = new QCheckBox;
    DetailsBox->setObjectName(QStringLiteral("CBDetails"));
    AcceptButton = new QPushButton;
    AcceptButton->setObjectName(QStringLiteral("BBUebernehmen"));
    RestoreButton = new QPushButton;
    RestoreButton->setObjectName(QStringLiteral("BBRueckgaengig"));
    bottom->addWidget(PageTabs);
    bottom->addStretch(1);
    bottom->addWidget(DetailsBox);
    bottom->addWidget(AcceptButton);
    bottom->addWidget(RestoreButton);

    layout->addWidget(SectorTabs);
    layout->addLayout(middle, 1);
    layout->addLayout(bottom);
    setWidget(content);

    EditMenu = new QMenu(this);
    EditMenu->setObjectName(QStringLiteral("PMBearbeiten"));
    CopyAction = EditMenu->addAction(QString(), this, &TotalInputWindow::CopySelection);
    CopyAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    PasteAction = EditMenu->addAction(QString(), this, [this] { Paste(1); });
    PasteRepeatAction = EditMenu->addAction(QString(), this, &TotalInputWindow::PasteRepeated);
    PasteSelectionAction =
        EditMenu->addAction(QString(), this, &TotalInputWindow::PasteIntoSelection);
    PasteSelectionAction->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    EditMenu->addSeparator();
    ClearAction = EditMenu->addAction(QString(), this, &TotalInputWindow::ClearSelection);
    ClearAction->setShortcut(QKeySequence(Qt::Key_Delete));

    connect(SectorTabs, &QTabBar::currentChanged, this, [this](int) {
        if (filling_) return;
        FillTabs();
        Rebuild();
    });
    connect(PageTabs, &QTabBar::currentChanged, this, [this](int index) {
        if (filling_) return;
        pageOfSector_[SectorTab()] = index;
        Rebuild();
    });
    connect(SectorTabs, &QTabBar::tabBarDoubleClicked, this, [this](int index) {
        if (index < 0 || index > 4 || !openSectorDialog) return;
        const int sector = index + 1;
        const int page = pageOfSector_[sector] + 1;
        openSectorDialog(sector, page <= CategoryCount(sector) ? page : 1);
    });
    connect(PageTabs, &QTabBar::tabBarDoubleClicked, this, [this](int index) {
        const int sector = SectorTab();
        if (index < 0 || sector > 5 || !openSectorDialog) return;
        openSectorDialog(sector, index < CategoryCount(sector) ? index + 1 : 1);
    });
    connect(DetailsBox, &QCheckBox::toggled, DetailsPanel, &QWidget::setVisible);
    connect(DetailList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (filling_) return;
        SetShown(item->data(Qt::UserRole).toInt(), item->checkState() == Qt::Checked);
    });
    const auto tickAll = [this](bool on) {
        for (int i = 0; i < DetailList->count(); ++i)
            shown_[DetailList->item(i)->data(Qt::UserRole).toInt()] = on;
        Rebuild();
    };
    connect(DetailsAll, &QPushButton::clicked, this, [tickAll] { tickAll(true); });
    connect(DetailsNone, &QPushButton::clicked, this, [tickAll] { tickAll(false); });
    connect(AcceptButton, &QPushButton::clicked, this, &TotalInputWindow::Accept);
    connect(RestoreButton, &QPushButton::clicked, this, &TotalInputWindow::Restore);
    connect(Grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { ShowMenu(Grid->viewport()->mapToGlobal(pos)); });
    connect(TableModel, &TotalInputModel::edited, this, [this](int, int column) {
        // Widen the column when the new value does not fit.
        const QFontMetrics fm(Grid->font());
        int need = 0;
        for (int row : {Grid->currentIndex().row()})
            if (row >= 0) need = fm.horizontalAdvance(TableModel->Text(row, column)) + 16;
        if (need > Grid->columnWidth(column)) Grid->setColumnWidth(column, need);
        UpdateButtons();
    });
    ApplyFont();
}

int TotalInputWindow::SectorTab() const {
    return SectorTabs->currentIndex() + 1;
}

int TotalInputWindow::PageTab() const {
    return PageTabs->currentIndex() + 1;
}

void TotalInputWindow::SelectTabs(int sector, int page) {
    if (sector < 1 || sector > 6) return;
    filling_ = true;
    if (page >= 1) pageOfSector_[sector] = page - 1;
    SectorTabs->setCurrentIndex(sector - 1);
    filling_ = false;
    FillTabs();
    Rebuild();
}

void TotalInputWindow::FillTabs() {
    const int lang = frame().model().Language;
    filling_ = true;
    for (int s = 1; s <= 5; ++s)
        SectorTabs->setTabText(s - 1, NoAmpersand(Display(SectorTitle(s), lang)));
    SectorTabs->setTabText(5, Display(kAllTab, lang));
    const int sector = SectorTab();
    const int pages = sector <= 5 ? CategoryCount(sector) : 0;
    while (PageTabs->count() > 0)
        PageTabs->removeTab(0);
    if (pages > 0) {
        for (int p = 1; p <= pages; ++p)
            PageTabs->addTab(NoAmpersand(Display(CategoryTitle(sector, p), lang)));
        PageTabs->addTab(Display(kAllTab, lang));
        PageTabs->setCurrentIndex(std::clamp(pageOfSector_[sector], 0, pages));
    }
    PageTabs->setVisible(pages > 0);
    filling_ = false;
}

void TotalInputWindow::FillDetails() {
    const auto candidates = TotalInputCandidates(frame().model(), SectorTab(), PageTab());
    const int lang = frame().model().Language;
    filling_ = true;
    DetailList->clear();
    for (int n : candidates) {
        auto* item = new QListWidgetItem(Display(ParamName(n, frame().model().Sw(18) == 1), lang),
                                         DetailList);
        item->setData(Qt::UserRole, n);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(shown_[n] ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
}

void TotalInputWindow::SetShown(int param, bool shown) {
    if (param < 1 || param > ParCount) return;
    shown_[param] = shown;
    Rebuild();
}

void TotalInputWindow::Rebuild() {
    Model& m = frame().model();
    FillDetails();
    std::vector<int> columns;
    for (int n : TotalInputCandidates(m, SectorTab(), PageTab()))
        if (shown_[n]) columns.push_back(n);
    sheet_.SetRows(m.Periods.LeftEdge, m.Periods.RightEdge);
    sheet_.SetColumns(std::move(columns));
    TableModel->SetLanguage(m.Language);
    TableModel->Reset();
    TableModel->SetCurrentPeriod(m.Periods.CurrentPeriod);
    Grid->setVisible(sheet_.ColumnCount() > 0);
    SizeColumns();
    ScrollToCurrent();
    UpdateButtons();
    UpdateMenu();
}

void TotalInputWindow::SizeColumns() {
    QFont bold = Grid->font();
    bold.setBold(true);
    const QFontMetrics headFm(bold), fm(Grid->font());
    const int rows = sheet_.RowCount();
    for (int c = 0; c < sheet_.ColumnCount(); ++c) {
        int width = 0;
        for (const QString& line : TableModel->Heading(c).split(QLatin1Char('\n')))
            width = std::max(width, headFm.horizontalAdvance(line));
        // A few rows stand for the column; reading all of them would cost the opening time.
        for (int row : {0, rows / 2, rows - 1, TableModel->CurrentPeriod() - sheet_.FirstPeriod()})
            if (row >= 0 && row < rows)
                width = std::max(width, fm.horizontalAdvance(TableModel->Text(row, c)));
        Grid->setColumnWidth(c, std::max(width + 16, 70));
    }
}

void TotalInputWindow::ApplyFont() {
    const QFont font = frame().screenFont();
    Grid->setFont(font);
    QFont bold = font;
    bold.setBold(true);
    Grid->horizontalHeader()->setFont(bold);
    Grid->verticalHeader()->setFont(bold);
    const QFontMetrics fm(font);
    Grid->verticalHeader()->setDefaultSectionSize(fm.height() + 6);
    Grid->verticalHeader()->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("00000")) + 10);
    SizeColumns();
}

void TotalInputWindow::ScrollToCurrent() {
    const int row = frame().model().Periods.CurrentPeriod - sheet_.FirstPeriod();
    if (row < 0 || row >= sheet_.RowCount() || sheet_.ColumnCount() == 0) return;
    Grid->setCurrentIndex(TableModel->index(row, 0));
    Grid->scrollTo(TableModel->index(row, 0), QAbstractItemView::PositionAtCenter);
}

void TotalInputWindow::UpdateButtons() {
    const bool edits = sheet_.HasEdits();
    AcceptButton->setEnabled(edits);
    RestoreButton->setEnabled(edits);
}

void TotalInputWindow::UpdateMenu() {
    const bool copied = sheet_.HasCopy();
    PasteAction->setEnabled(copied);
    PasteRepeatAction->setEnabled(copied);
    PasteSelectionAction->setEnabled(copied);
    const bool cells = sheet_.ColumnCount() > 0;
    CopyAction->setEnabled(cells);
    ClearAction->setEnabled(cells);
}

void TotalInputWindow::ShowMenu(const QPoint& globalPos) {
    UpdateMenu();
    EditMenu->popup(globalPos);
}

bool TotalInputWindow::SelectionBlock(int& row0, int& row1, int& column0, int& column1) const {
    const QItemSelection selection = Grid->selectionModel()->selection();
    if (!selection.isEmpty()) {
        const QItemSelectionRange& r = selection.first();
        row0 = r.top();
        row1 = r.bottom();
        column0 = r.left();
        column1 = r.right();
        return true;
    }
    const QModelIndex current = Grid->currentIndex();
    if (!current.isValid()) return false;
    row0 = row1 = current.row();
    column0 = column1 = current.column();
    return true;
}

void TotalInputWindow::CopySelection() {
    int r0, r1, c0, c1;
    if (!SelectionBlock(r0, r1, c0, c1)) return;
    sheet_.Copy(r0, r1, c0, c1);
    Grid->clearSelection();
    UpdateMenu();
}

void TotalInputWindow::Paste(int repeat) {
    const QModelIndex current = Grid->currentIndex();
    if (!sheet_.HasCopy() || !current.isValid()) return;
    const int row = current.row();
    sheet_.Paste(frame().host(), row, current.column(), repeat < 0 ? sheet_.RowCount() : repeat,
                 repeat < 0 ? sheet_.RowCount() - 1 : -1);
    TableModel->ValuesChanged();
    UpdateButtons();
}

void TotalInputWindow::PasteRepeated() {
    const QModelIndex current = Grid->currentIndex();
    if (!sheet_.HasCopy() || !current.isValid()) return;
    const int period = sheet_.PeriodOfRow(current.row());
    // One more than fits, so that the end message at the right edge can be asked for.
    RepeatPasteDialog dialog(period, frame().model().Periods.RightEdge - period + 1,
                             frame().model().Language, this);
    if (dialog.exec() != QDialog::Accepted) return;
    Paste(dialog.Repeat());
}

void TotalInputWindow::PasteIntoSelection() {
    int r0, r1, c0, c1;
    if (!sheet_.HasCopy() || !SelectionBlock(r0, r1, c0, c1)) return;
    const int height = static_cast<int>(sheet_.Copied().size());
    sheet_.Paste(frame().host(), r0, c0, (r1 - r0 + height) / height, r1);
    TableModel->ValuesChanged();
    UpdateButtons();
}

void TotalInputWindow::ClearSelection() {
    int r0, r1, c0, c1;
    if (!SelectionBlock(r0, r1, c0, c1)) return;
    UserHost& host = frame().host();
    host.PlaySound("WasNun.wav");
    if (!host.AskDestructive(
            "Was nun?##Please decide",
            "Ausgewählte Werte wirklich zurücksetzen?##Initialize all selected values?"))
        return;
    sheet_.ResetToDefault(host, r0, r1, c0, c1);
    TableModel->ValuesChanged();
    UpdateButtons();
}

void TotalInputWindow::Accept() {
    const int sector = SectorTab();
    LastInputSector() = sector;
    if (sector <= 5) {
        const int page = PageTab();
        DialogStartPage()[sector - 1] = page <= CategoryCount(sector) ? page : 1;
    }
    const int first = sheet_.Accept();
    TableModel->ValuesChanged();
    UpdateButtons();
    if (first != -2 && afterInput) afterInput();
}

void TotalInputWindow::Restore() {
    sheet_.Restore();
    TableModel->ValuesChanged();
    UpdateButtons();
}

bool TotalInputWindow::SettleEdits(bool deferred) {
    if (!sheet_.HasEdits()) return false;
    UserHost& host = frame().host();
    host.PlaySound("WasNun.wav");
    if (!host.Ask("Was nun?##Please decide", "Neue Eingaben übernehmen?##Accept new inputs?")) {
        Restore();
        return false;
    }
    LastInputSector() = SectorTab();
    const int first = sheet_.Accept();
    TableModel->ValuesChanged();
    UpdateButtons();
    if (first == -2 || !afterInput) return first != -2;
    if (deferred)
        QTimer::singleShot(0, this, [this] {
            if (afterInput) afterInput();
        });
    else
        afterInput();
    return true;
}

long TotalInputWindow::Message(int msg, long wParam, long lParam) {
    switch (msg) {
    case MSG_PERIOD_MOVED: {
        const PeriodState& ps = frame().model().Periods;
        if (sheet_.FirstPeriod() != ps.LeftEdge || sheet_.LastPeriod() != ps.RightEdge) {
            SettleEdits(true);
            Rebuild();
        } else {
            TableModel->SetCurrentPeriod(ps.CurrentPeriod);
            ScrollToCurrent();
        }
        return 0;
    }
    case MSG_MODEL_CHANGED: {
        SettleEdits(true);
        const int sector = LastInputSector();
        LastInputSector() = 0;
        if (sector >= 1 && sector <= 5)
            SelectTabs(sector, DialogStartPage()[sector - 1]);
        else
            Rebuild();
        return 0;
    }
    case MSG_NUMBER_FORMAT:
        TableModel->ValuesChanged();
        return 0;
    case MSG_SCREEN_FONT:
        ApplyFont();
        return 0;
    case MSG_PRINT:
        PrintTable();
        return 0;
    default:
        return WorkingWindow::Message(msg, wParam, lParam);
    }
}

TotalInputWindow::TableBlock TotalInputWindow::PaintTable(QPainter& p, QPaintDevice* device,
                                                          const QRect& body, const QFont& font,
                                                          const QColor& ink, int firstRow,
                                                          int firstColumn) {
    const QFontMetrics fm(font, device);
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics boldFm(bold, device);
    const int rowHeight = fm.height() * 5 / 4;
    const int headHeight = boldFm.height() * 3 + fm.height() / 2;
    const int periodWidth = boldFm.horizontalAdvance(QStringLiteral("00000")) + 8;
    // Columns as wide as their widest heading line or a long value.
    std::vector<int> widths;
    int x = body.left() + periodWidth;
    int lastColumn = firstColumn - 1;
    for (int c = firstColumn; c < sheet_.ColumnCount(); ++c) {
        int w = fm.horizontalAdvance(QStringLiteral("-0000000.000")) + 8;
        for (const QString& line : TableModel->Heading(c).split(QLatin1Char('\n')))
            w = std::max(w, boldFm.horizontalAdvance(line) + 8);
        if (x + w > body.right() + 1 && c > firstColumn) break;
        widths.push_back(w);
        x += w;
        lastColumn = c;
    }
    const int fit = std::max(1, (body.height() - headHeight) / rowHeight);
    const int lastRow = std::min(sheet_.RowCount() - 1, firstRow + fit - 1);
    p.save();
    p.setPen(ink);
    const auto cell = [&](const QRect& r, const QString& text, bool isBold, Qt::Alignment align) {
        p.setFont(isBold ? bold : font);
        p.drawRect(r);
        p.drawText(r.adjusted(4, 0, -4, 0), align | Qt::AlignVCenter, text);
    };
    cell(QRect(body.left(), body.top(), periodWidth, headHeight), QStringLiteral("t"), true,
         Qt::AlignHCenter);
    x = body.left() + periodWidth;
    for (int c = firstColumn; c <= lastColumn; ++c) {
        const int w = widths[c - firstColumn];
        cell(QRect(x, body.top(), w, headHeight), TableModel->Heading(c), true, Qt::AlignHCenter);
        x += w;
    }
    for (int r = firstRow; r <= lastRow; ++r) {
        const int y = body.top() + headHeight + (r - firstRow) * rowHeight;
        cell(QRect(body.left(), y, periodWidth, rowHeight), QString::number(sheet_.PeriodOfRow(r)),
             true, Qt::AlignHCenter);
        x = body.left() + periodWidth;
        for (int c = firstColumn; c <= lastColumn; ++c) {
            const int w = widths[c - firstColumn];
            cell(QRect(x, y, w, rowHeight), TableModel->Text(r, c), false, Qt::AlignRight);
            x += w;
        }
    }
    p.restore();
    return {lastRow, lastColumn};
}

void TotalInputWindow::PaintTo(const PaintTarget& target) {
    if (target.kind == PaintTarget::Screen || !target.painter || sheet_.ColumnCount() == 0) return;
    const QFont font = target.kind == PaintTarget::Printer ? frame().printerFont() : Grid->font();
    const int firstRow = std::max(0, Grid->rowAt(0));
    const int firstColumn = std::max(0, Grid->columnAt(0));
    PaintTable(*target.painter, target.device, target.body, font, TextColour(target), firstRow,
               firstColumn);
}

void TotalInputWindow::PrintTable() {
    if (sheet_.ColumnCount() == 0) return;
    const PeriodState& ps = frame().model().Periods;
    PeriodPrintDialog range(ps.LeftEdge, ps.CurrentPeriod, ps.RightEdge, this);
    int r0, r1, c0, c1;
    if (SelectionBlock(r0, r1, c0, c1) && r1 > r0)
        range.Preset(sheet_.PeriodOfRow(r0), sheet_.PeriodOfRow(r1));
    if (range.exec() != QDialog::Accepted) return;
    // The rows of the chosen range only, then the whole interval again.
    sheet_.SetRows(range.From(), range.To());
    TableModel->Reset();
    QPrinter& printer = frame().printer();
    QPainter painter;
    if (BeginPrintJob(painter)) {
        QFont font = frame().printerFont();
        QFont header = font;
        header.setPointSizeF(header.pointSizeF() + 2);
        const int top = TitleHeight(painter, header) + 2 * QFontMetrics(font, &printer).height();
        const int bottom = printer.height() - 2 * FooterHeight(painter, font);
        const QRect body(printer.width() / 20, top, printer.width() * 18 / 20, bottom - top);
        // Column blocks side by side, each over as many pages as its rows need.
        for (int column = 0; column < sheet_.ColumnCount();) {
            TableBlock block{};
            for (int row = 0; row < sheet_.RowCount(); row = block.lastRow + 1) {
                if (row > 0 || column > 0) {
                    printer.newPage();
                    PrintTitle(painter, header, windowTitle());
                }
                block = PaintTable(painter, &printer, body, font, frame().printerFontColour(), row,
                                   column);
                PrintSourceFooter(painter, font, frame().modelBaseName(), {},
                                  frame().model().Language);
            }
            column = block.lastColumn + 1;
        }
        painter.end();
    }
    sheet_.SetRows(ps.LeftEdge, ps.RightEdge);
    TableModel->Reset();
    ScrollToCurrent();
}

void TotalInputWindow::RefreshLanguage() {
    setWindowTitle(Tr(TotalInputCaption));
    DetailsBox->setText(Tr("Detail&s"));
    DetailsAll->setText(QStringLiteral("&") + Tr(kAllTab));
    DetailsNone->setText(QStringLiteral("&") + Tr("nichts##nothing"));
    AcceptButton->setText(Tr("Üb&ernehmen##A&ccept"));
    AcceptButton->setToolTip(
        Tr("Eingaben übernehmen| Übernimmt alle Eingaben und löst ggfs. das Modell neu##Accept "
           "inputs| Takes over all inputs and solves the model if required")
            .replace(QLatin1String("| "), QLatin1String("\n")));
    RestoreButton->setText(Tr("&Rückgängig##&Restore"));
    RestoreButton->setToolTip(
        Tr("Eingaben rückgängig machen| Stellt die bisherigen Modelleingaben wieder her und "
           "macht alle noch nicht mit \"Ok\" bestätigten Neueingaben rückgängig##Undo inputs| "
           "Restores the model inputs and drops every new input not yet accepted")
            .replace(QLatin1String("| "), QLatin1String("\n")));
    CopyAction->setText(Tr("&Kopieren##&Copy"));
    PasteAction->setText(Tr("&Einfügen (Duplizieren)##&Insert (Duplicate)"));
    PasteRepeatAction->setText(Tr("&Mehrfach einfügen##Insert and &multiply") +
                               QStringLiteral(" ..."));
    PasteSelectionAction->setText(Tr("&In Markierung einfügen##Insert in &selection"));
    ClearAction->setText(Tr("&Löschen (Initialisieren)##C&lear (Initialize)"));
    FillTabs();
    Rebuild();
}

bool TotalInputWindow::eventFilter(QObject* o, QEvent* e) {
    if (o == Grid && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        const auto mods = k->modifiers() & ~Qt::KeypadModifier;
        switch (k->key()) {
        case Qt::Key_Tab:
            if (PageTabs->count() > 0)
                PageTabs->setCurrentIndex((PageTabs->currentIndex() + 1) % PageTabs->count());
            return true;
        case Qt::Key_Backtab:
            SectorTabs->setCurrentIndex((SectorTabs->currentIndex() + 1) % SectorTabs->count());
            return true;
        case Qt::Key_Space:
            if (mods == Qt::NoModifier) {
                const QRect cell = Grid->visualRect(Grid->currentIndex());
                ShowMenu(Grid->viewport()->mapToGlobal(cell.center()));
                return true;
            }
            break;
        case Qt::Key_C:
            if (mods == Qt::ControlModifier) {
                CopySelection();
                return true;
            }
            break;
        case Qt::Key_Delete:
            if (mods == Qt::NoModifier) {
                ClearSelection();
                return true;
            }
            break;
        case Qt::Key_Insert:
            if (mods == Qt::ShiftModifier) {
                int r0, r1, c0, c1;
                if (SelectionBlock(r0, r1, c0, c1) && r1 > r0)
                    PasteIntoSelection();
                else
                    Paste(1);
                return true;
            }
            break;
        default:
            break;
        }
    }
    return WorkingWindow::eventFilter(o, e);
}

void TotalInputWindow::closeEvent(QCloseEvent* e) {
    if (sheet_.HasEdits()) {
        UserHost& host = frame().host();
        host.PlaySound("WasNun.wav");
        const char* title = "Was nun?##Please decide";
        const char* text = "Neue Eingaben übernehmen?##Accept new inputs?";
        const std::optional<bool> accept =
            askOrCancel ? askOrCancel(title, text) : std::optional<bool>(host.Ask(title, text));
        if (!accept) {
            // Left unanswered: the window stays open with its edits.
            e->ignore();
            return;
        }
        if (*accept) Accept();
    }
    WorkingWindow::closeEvent(e);
}

} // namespace tv
