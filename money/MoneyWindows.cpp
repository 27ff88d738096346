#include "money/MoneyWindows.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "logic/Settings.h"
#include "services/Printing.h"
#include "services/WindowFrame.h"
#include "windows/NumberSpinBox.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tv {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

constexpr int StartRounds = 3;
constexpr int ShownRowsAtStart = 8;

} // namespace

MoneyShares& SharedMoneyShares() {
    static MoneyShares shares;
    return shares;
}

// ================================================================ worksheet

// The two header strips over the columns of the monetary base and of the money supply,
// kept aligned with the table's columns.
class WorksheetStrips : public QWidget {
  public:
    WorksheetStrips(QTableWidget* table, QWidget* parent) : QWidget(parent), table_(table) {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    }
    void SetTexts(const QString& base, const QString& money) {
        base_ = base;
        money_ = money;
        update();
    }
    QSize sizeHint() const override { return QSize(100, fontMetrics().height() + 6); }
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const int offset = table_->viewport()->mapTo(window(), QPoint(0, 0)).x() -
                           mapTo(window(), QPoint(0, 0)).x();
        QHeaderView* h = table_->horizontalHeader();
        auto strip = [&](int first, int last, const QString& text) {
            const int x = offset + h->sectionViewportPosition(first);
            const int right = offset + h->sectionViewportPosition(last) + h->sectionSize(last);
            const QRect r(x, 0, right - x - 1, height() - 1);
            p.fillRect(r, palette().button());
            p.setPen(palette().mid().color());
            p.drawRect(r);
            p.setPen(palette().buttonText().color());
            p.drawText(r, Qt::AlignCenter,
                       fontMetrics().elidedText(text, Qt::ElideRight, r.width()));
        };
        strip(3, 5, base_);
        strip(6, 7, money_);
    }

  private:
    QTableWidget* table_;
    QString base_, money_;
};

MoneyWorksheetWindow::MoneyWorksheetWindow(WindowFrame& frame) : WorkingWindow(frame) {
    setWindowTitle(Q(Translate(MoneyWorksheetCaption, 1)));
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    panel_ = new QWidget;
    auto* row = new QHBoxLayout(panel_);
    row->setContentsMargins(2, 2, 2, 2);
    roundsLabel_ = new QLabel;
    RoundsBox = new NumberSpinBox;
    // The box takes any count a user types; the count is clamped to 1..100 when it is
    // taken over (250 gives 100, 0 gives 1) instead of the typing being refused.
    RoundsBox->setRange(0, 9999);
    RoundsBox->setValue(StartRounds);
    RoundsBox->setKeyboardTracking(false);
    roundsLabel_->setBuddy(RoundsBox);
    AbsoluteButton = new QRadioButton;
    DifferencesButton = new QRadioButton;
    NominalButton = new QRadioButton;
    RealButton = new QRadioButton;
    AbsoluteButton->setChecked(true);
    NominalButton->setChecked(true);
    auto* kind = new QButtonGroup(this);
    kind->addButton(AbsoluteButton);
    kind->addButton(DifferencesButton);
    auto* unit = new QButtonGroup(this);
    unit->addButton(NominalButton);
    unit->addButton(RealButton);
    RoundByRoundButton = new QPushButton;
    RoundByRoundButton->setCheckable(true);
    row->addWidget(roundsLabel_);
    row->addWidget(RoundsBox);
    row->addSpacing(8);
    row->addWidget(AbsoluteButton);
    row->addWidget(DifferencesButton);
    row->addSpacing(8);
    row->addWidget(NominalButton);
    row->addWidget(RealButton);
    row->addSpacing(8);
    row->addWidget(RoundByRoundButton);
    row->addStretch(1);
    layout->addWidget(panel_);

    Grid = new QTableWidget(0, WorksheetValues::Columns);
    Grid->verticalHeader()->hide();
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    Grid->setWordWrap(false);
    Grid->verticalHeader()->setMinimumSectionSize(1);
    Grid->verticalHeader()->setDefaultSectionSize(Grid->fontMetrics().height() + 6);
    Grid->horizontalHeader()->setSectionsClickable(false);
    Grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    strips_ = new WorksheetStrips(Grid, content);
    layout->addWidget(strips_);
    layout->addWidget(Grid, 1);
    setWidget(content);
    resize(640, 300);

    connect(RoundsBox, &QSpinBox::valueChanged, this, [this](int rounds) {
        const int clamped = ClampWorksheetRounds(rounds);
        if (clamped != rounds) {
            const QSignalBlocker block(RoundsBox);
            RoundsBox->setValue(clamped);
        }
        Recompute();
    });
    connect(kind, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool on) {
        if (on) Recompute();
    });
    connect(unit, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool on) {
        if (on) Recompute();
    });
    connect(RoundByRoundButton, &QPushButton::toggled, this,
            &MoneyWorksheetWindow::SetRoundByRound);
    connect(Grid->horizontalHeader(), &QHeaderView::sectionResized, strips_,
            [this] { strips_->update(); });
    connect(Grid->horizontalScrollBar(), &QScrollBar::valueChanged, strips_,
            [this] { strips_->update(); });
    ApplyTextSize();
}

void MoneyWorksheetWindow::ApplyTextSize() {
    QFont f = Grid->font();
    f.setPointSize(DiagramTextSize(frame().userSettings()));
    Grid->setFont(f);
    strips_->setFont(f);
    Grid->verticalHeader()->setDefaultSectionSize(QFontMetrics(f).height() + 6);
}

void MoneyWorksheetWindow::ApplyTexts() {
    const int lang = frame().model().Language;
    auto tr = [lang](const char* s) { return Q(Translate(s, lang)); };
    setWindowTitle(tr(MoneyWorksheetCaption));
    roundsLabel_->setText(tr("&Runden:##&Rounds:"));
    AbsoluteButton->setText(tr("absolut##absolute"));
    DifferencesButton->setText(tr("Differenzen##differences"));
    NominalButton->setText(tr("nominal##nominal"));
    RealButton->setText(tr("real##real"));
    RoundByRoundButton->setText(tr("Runde für Runde##Round by Round"));
    RoundsBox->setToolTip(tr("Anzahl der gezeigten Runden (1 bis 100)##"
                             "Number of rounds shown (1 to 100)"));
}

void MoneyWorksheetWindow::RefreshLanguage() {
    ApplyTexts();
    Recompute();
}

void MoneyWorksheetWindow::Recompute() {
    const Model& m = frame().model();
    const int t = m.Periods.CurrentPeriod;
    WorksheetOptions options;
    options.Differences = DifferencesButton->isChecked();
    options.Real = RealButton->isChecked();
    const WorksheetValues values = ComputeWorksheet(m, t, RoundsBox->value());
    table_ = BuildWorksheetTable(m, t, values, options, m.Language);

    const int top = Grid->verticalScrollBar()->value();
    Grid->setUpdatesEnabled(false);
    QStringList headings;
    for (const auto& h : table_.Headings)
        headings << Q(h);
    Grid->setHorizontalHeaderLabels(headings);
    Grid->setRowCount(static_cast<int>(table_.Rows.size()));
    for (int r = 0; r < static_cast<int>(table_.Rows.size()); ++r)
        for (int c = 0; c < WorksheetValues::Columns; ++c) {
            QTableWidgetItem* item = Grid->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                Grid->setItem(r, c, item);
            }
            item->setText(Q(table_.Rows[r][c]));
            item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                          : Qt::AlignRight | Qt::AlignVCenter);
        }
    Grid->verticalScrollBar()->setValue(top);
    Grid->setUpdatesEnabled(true);
    strips_->SetTexts(Q(table_.BaseStrip), Q(table_.MoneyStrip));
}

int MoneyWorksheetWindow::RowHeight() const {
    return Grid->verticalHeader()->defaultSectionSize();
}

// The window height at which the table shows the heading and `rows` rows.
int MoneyWorksheetWindow::HeightForRows(int rows) const {
    const QMargins margins = widget()->layout()->contentsMargins();
    const int spacing = widget()->layout()->spacing();
    const int content = margins.top() + margins.bottom() + 2 * spacing +
                        panel_->sizeHint().height() + strips_->sizeHint().height() +
                        Grid->horizontalHeader()->sizeHint().height() + 2 * Grid->frameWidth() +
                        rows * RowHeight();
    const int frameOverhead = std::max(0, height() - widget()->height());
    return content + frameOverhead;
}

void MoneyWorksheetWindow::showEvent(QShowEvent* e) {
    WorkingWindow::showEvent(e);
    if (sized_) return;
    sized_ = true;
    // Once the frame has laid out the window, fit the height to eight table rows.
    QTimer::singleShot(0, this, [this] {
        if (!(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) &&
            !RoundByRoundButton->isChecked())
            resize(width(), HeightForRows(ShownRowsAtStart));
    });
}

void MoneyWorksheetWindow::SetRoundByRound(bool on) {
    if (on) {
        savedState_ = windowState() & (Qt::WindowMinimized | Qt::WindowMaximized);
        if (savedState_ != Qt::WindowNoState) showNormal();
        savedGeometry_ = geometry();
        resize(width(), HeightForRows(1));
        Grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    } else {
        Grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        if (savedGeometry_.isValid()) setGeometry(savedGeometry_);
        if (savedState_ & Qt::WindowMaximized)
            showMaximized();
        else if (savedState_ & Qt::WindowMinimized)
            showMinimized();
    }
}

long MoneyWorksheetWindow::Message(int msg, long wParam, long lParam) {
    switch (msg) {
    case MSG_MODEL_CHANGED:
        if (frame().model().Sw(18) != 1) {
            close();
            return 0;
        }
        Recompute();
        return 0;
    case MSG_PERIOD_MOVED:
    case MSG_NUMBER_FORMAT:
        Recompute();
        return 0;
    case MSG_GRAPH_OPTIONS:
        ApplyTextSize();
        return 0;
    case MSG_PRINT:
        Print();
        return 0;
    default:
        return WorkingWindow::Message(msg, wParam, lParam);
    }
}

void MoneyWorksheetWindow::PaintTo(const PaintTarget& target) {
    if (target.kind == PaintTarget::Screen || !target.painter) {
        Recompute();
        return;
    }
    QPainter& p = *target.painter;
    p.save();
    if (target.kind == PaintTarget::Image) p.setFont(font());
    DrawTable(p, target.body, 0);
    p.restore();
}

// The strips, the headings and the rows from `first` on as a ruled grid over the body's
// width; returns the first row that did not fit.
int MoneyWorksheetWindow::DrawTable(QPainter& p, const QRect& b, int first) const {
    const QFontMetrics fm(p.font(), p.device());
    const int columns = WorksheetValues::Columns;
    const int w = std::max(1, b.width() / columns);
    const int h = fm.height() + fm.height() / 4;
    const int pad = fm.averageCharWidth() / 2;
    int y = b.top();
    p.save();
    p.setBrush(Qt::NoBrush);
    auto cellRect = [&](int c, int span) { return QRect(b.left() + c * w, y, span * w, h); };
    auto strip = [&](int from, int span, const std::string& text) {
        const QRect r = cellRect(from, span);
        p.drawRect(r);
        p.drawText(r, Qt::AlignCenter, Q(text));
    };
    strip(3, 3, table_.BaseStrip);
    strip(6, 2, table_.MoneyStrip);
    y += h;
    QFont bold = p.font();
    bold.setBold(true);
    p.save();
    p.setFont(bold);
    for (int c = 0; c < columns; ++c) {
        const QRect r = cellRect(c, 1);
        p.drawRect(r);
        p.drawText(r, Qt::AlignCenter, Q(table_.Headings[c]));
    }
    p.restore();
    y += h;
    int row = first;
    for (; row < static_cast<int>(table_.Rows.size()); ++row) {
        if (y + h > b.bottom() && row > first) break;
        for (int c = 0; c < columns; ++c) {
            const QRect r = cellRect(c, 1);
            p.drawRect(r);
            p.drawText(r.adjusted(pad, 0, -pad, 0),
                       (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
                       Q(table_.Rows[row][c]));
        }
        y += h;
    }
    p.restore();
    return row;
}

// All rows, over as many pages as they need, each page with title, headings and footer.
void MoneyWorksheetWindow::Print() {
    QPrinter& printer = frame().printer();
    QPainter p;
    if (!BeginPrintJob(p)) return;
    const QFont font = frame().printerFont();
    p.setFont(font);
    const int language = frame().model().Language;
    const int top = TitleHeight(p, font) + 2 * QFontMetrics(font, &printer).height();
    const int bottom = printer.height() - 2 * FooterHeight(p, font);
    const QRect body(printer.width() / 10, top, printer.width() * 8 / 10, bottom - top);
    int row = 0, page = 1;
    for (;;) {
        row = DrawTable(p, body, row);
        PrintSourceFooter(p, font, frame().modelBaseName(),
                          QStringLiteral(", ") + Q(Translate("Seite##Page", language)) +
                              QStringLiteral(": ") + QString::number(page),
                          language);
        if (row >= static_cast<int>(table_.Rows.size())) break;
        printer.newPage();
        ++page;
        PrintTitle(p, font, windowTitle());
    }
    p.end();
}

// ================================================================ accounting system

BalanceSheet::BalanceSheet(QWidget* parent) : QGroupBox(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(2);
    assetsTitle_ = new QLabel;
    liabilitiesTitle_ = new QLabel;
    assetsTitle_->setAlignment(Qt::AlignCenter);
    liabilitiesTitle_->setAlignment(Qt::AlignCenter);
    auto list = [] {
        auto* t = new QTreeWidget;
        t->setColumnCount(3);
        t->setHeaderHidden(true);
        t->setRootIsDecorated(false);
        t->setFocusPolicy(Qt::NoFocus);
        t->setSelectionMode(QAbstractItemView::NoSelection);
        t->header()->setStretchLastSection(false);
        t->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
        t->header()->setSectionResizeMode(1, QHeaderView::Stretch);
        t->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
        return t;
    };
    AssetsList = list();
    LiabilitiesList = list();
    grid->addWidget(assetsTitle_, 0, 0);
    grid->addWidget(liabilitiesTitle_, 0, 1);
    grid->addWidget(AssetsList, 1, 0);
    grid->addWidget(LiabilitiesList, 1, 1);
}

QSize BalanceSheet::minimumSizeHint() const {
    const QMargins m = contentsMargins();
    return {layout()->minimumSize().width() + m.left() + m.right(),
            QGroupBox::minimumSizeHint().height()};
}

void BalanceSheet::SetSideTitles(const QString& assets, const QString& liabilities) {
    assetsTitle_->setText(assets);
    liabilitiesTitle_->setText(liabilities);
}

void BalanceSheet::SetEntries(const std::vector<ShownEntry>& assets,
                              const std::vector<ShownEntry>& liabilities, const Model& m) {
    auto fill = [&m](QTreeWidget* t, const std::vector<ShownEntry>& entries) {
        t->clear();
        for (const ShownEntry& e : entries) {
            auto* item = new QTreeWidgetItem(
                {Q(e.Tag), Q(Translate(e.Label, m.Language)), Q(m.FormatNumber(e.Amount))});
            item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
            if (e.Memo) {
                QFont f = t->font();
                f.setItalic(true);
                for (int c = 0; c < 3; ++c)
                    item->setFont(c, f);
            }
            t->addTopLevelItem(item);
        }
        if (t->topLevelItemCount() > 0)
            t->scrollToItem(t->topLevelItem(t->topLevelItemCount() - 1));
    };
    fill(AssetsList, assets);
    fill(LiabilitiesList, liabilities);
}

MoneyAccountsWindow::MoneyAccountsWindow(WindowFrame& frame) : WorkingWindow(frame) {
    setWindowTitle(Q(Translate(MoneyAccountsCaption, 1)));
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    auto* controls = new QHBoxLayout;
    auto sliderBox = [&](QLabel*& title, QSlider*& slider, QLabel*& value) {
        auto* box = new QVBoxLayout;
        title = new QLabel;
        slider = new QSlider(Qt::Horizontal);
        slider->setRange(0, 100);
        slider->setPageStep(10);
        value = new QLabel;
        // Long bank names wrap or are cut (whole in the tool tip), never the buttons beside.
        value->setWordWrap(true);
        value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        box->addWidget(title);
        box->addWidget(slider);
        box->addWidget(value);
        controls->addLayout(box, 1);
    };
    sliderBox(marketTitle_, MarketShareSlider, MarketShareLabel);
    sliderBox(baseTitle_, BaseShareSlider, BaseShareLabel);
    const MoneyShares& shares = SharedMoneyShares();
    MarketShareSlider->setValue(shares.MarketB);
    BaseShareSlider->setValue(shares.BaseB);
    auto* counters = new QVBoxLayout;
    EntryCounter = new QLabel;
    RoundCounter = new QLabel;
    counters->addWidget(EntryCounter);
    counters->addWidget(RoundCounter);
    controls->addLayout(counters);
    auto* buttons = new QGridLayout;
    CycleStartButton = new QPushButton;
    NextBookingButton = new QPushButton;
    UndoBookingButton = new QPushButton;
    CycleEndButton = new QPushButton;
    buttons->addWidget(CycleStartButton, 0, 0);
    buttons->addWidget(NextBookingButton, 0, 1);
    buttons->addWidget(UndoBookingButton, 1, 0);
    buttons->addWidget(CycleEndButton, 1, 1);
    BankNamesButton = new QPushButton;
    buttons->addWidget(BankNamesButton, 2, 0, 1, 2);
    controls->addLayout(buttons);
    layout->addLayout(controls);

    RoundHeading = new QLabel;
    QFont bold = RoundHeading->font();
    bold.setBold(true);
    RoundHeading->setFont(bold);
    layout->addWidget(RoundHeading);

    auto* sheets = new QGridLayout;
    for (int k = 1; k <= 4; ++k)
        Sheets[k] = new BalanceSheet;
    sheets->addWidget(Sheets[AccountBankA], 0, 0);
    sheets->addWidget(Sheets[AccountBankB], 0, 1);
    sheets->addWidget(Sheets[AccountCentralBank], 1, 0);
    sheets->addWidget(Sheets[AccountNonBanks], 1, 1);
    layout->addLayout(sheets, 3);

    Explanation = new QPlainTextEdit;
    Explanation->setReadOnly(true);
    Explanation->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(Explanation, 1);
    setWidget(content);
    resize(780, 600);

    connect(CycleStartButton, &QPushButton::clicked, this, &MoneyAccountsWindow::CycleStart);
    connect(NextBookingButton, &QPushButton::clicked, this, &MoneyAccountsWindow::NextBooking);
    connect(UndoBookingButton, &QPushButton::clicked, this, &MoneyAccountsWindow::UndoBooking);
    connect(CycleEndButton, &QPushButton::clicked, this, &MoneyAccountsWindow::CycleEnd);
    connect(BankNamesButton, &QPushButton::clicked, this, &MoneyAccountsWindow::EditBankNames);
    // The keys work anywhere in this window, and only there.
    auto key = [content](Qt::Key k, QPushButton* button) {
        auto* s = new QShortcut(QKeySequence(k), content);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(s, &QShortcut::activated, button, [button] {
            if (button->isEnabled()) button->click();
        });
    };
    key(Qt::Key_Home, CycleStartButton);
    key(Qt::Key_Right, NextBookingButton);
    key(Qt::Key_Left, UndoBookingButton);
    key(Qt::Key_End, CycleEndButton);
    connect(MarketShareSlider, &QSlider::valueChanged, this, [this](int p) {
        SharedMoneyShares().SetMarketSlider(p);
        Rebuild(false);
    });
    connect(BaseShareSlider, &QSlider::valueChanged, this, [this](int p) {
        SharedMoneyShares().SetBaseSlider(p);
        Rebuild(false);
    });
    ApplyTextSize();
    Rebuild(false);
}

void MoneyAccountsWindow::ApplyTextSize() {
    const int points = DiagramTextSize(frame().userSettings());
    for (QWidget* w : std::initializer_list<QWidget*>{RoundHeading, Sheets[1], Sheets[2], Sheets[3],
                                                      Sheets[4], Explanation}) {
        QFont f = w->font();
        f.setPointSize(points);
        w->setFont(f);
    }
}

MoneyAccountsWindow::~MoneyAccountsWindow() = default;

void MoneyAccountsWindow::Rebuild(bool keepPosition) {
    const Model& m = frame().model();
    const int round = process_ ? process_->Round() : 0;
    const int booked = process_ ? process_->Booked() : 0;
    process_ = std::make_unique<AccountingProcess>(m, m.Periods.CurrentPeriod, SharedMoneyShares());
    if (keepPosition) process_->GoTo(round, booked);
    ApplyTexts();
    Show();
}

void MoneyAccountsWindow::ApplyTexts() {
    const int lang = frame().model().Language;
    auto tr = [lang](const char* s) { return Q(Translate(s, lang)); };
    const MoneyShares& s = SharedMoneyShares();
    setWindowTitle(tr(MoneyAccountsCaption));
    marketTitle_->setText(tr("Marktanteil##Market Share"));
    baseTitle_->setText(tr("Anteile an zusätzlicher MB##Shares of additional MB"));
    auto shares = [&s](int a, int b) {
        return Q(s.NameA) + QStringLiteral(": %1 %   ").arg(a) + Q(s.NameB) +
               QStringLiteral(": %1 %").arg(b);
    };
    MarketShareLabel->setText(shares(s.MarketA, s.MarketB));
    BaseShareLabel->setText(shares(s.BaseA, s.BaseB));
    MarketShareLabel->setToolTip(MarketShareLabel->text());
    BaseShareLabel->setToolTip(BaseShareLabel->text());
    CycleStartButton->setText(tr("Kreislaufanfang##Start of Cycle"));
    NextBookingButton->setText(tr("Nächste Buchung##Next Booking"));
    UndoBookingButton->setText(tr("Letzte Buchung löschen##Delete Last Booking"));
    CycleEndButton->setText(tr("Kreislaufende##End of Cycle"));
    BankNamesButton->setText(tr("&Banknamen ...##&Bank names ..."));
    BankNamesButton->setToolTip(tr("Namen der beiden Geschäftsbanken ändern##"
                                   "Change the names of the two commercial banks"));
    CycleStartButton->setToolTip(tr("Zurück zur Ausgangssituation (Pos1)##"
                                    "Back to the initial situation (Home)"));
    NextBookingButton->setToolTip(tr("Nächste Buchung (Pfeil rechts)##Next booking (Right)"));
    UndoBookingButton->setToolTip(
        tr("Letzte Buchung zurücknehmen (Pfeil links)##Take back the last booking (Left)"));
    CycleEndButton->setToolTip(tr("Alle übrigen Buchungen der Runde (Ende)##"
                                  "All remaining bookings of the round (End)"));
    Sheets[AccountBankA]->setTitle(Q(s.NameA));
    Sheets[AccountBankB]->setTitle(Q(s.NameB));
    Sheets[AccountBankA]->setToolTip(Q(s.NameA));
    Sheets[AccountBankB]->setToolTip(Q(s.NameB));
    Sheets[AccountCentralBank]->setTitle(tr("Zentralbank##Central Bank"));
    Sheets[AccountNonBanks]->setTitle(tr("Nichtbanken##Nonbanking Sector"));
    for (int k = 1; k <= 4; ++k)
        Sheets[k]->SetSideTitles(tr("Aktiva##Assets"), tr("Passiva##Liabilities"));
}

void MoneyAccountsWindow::Show() {
    const Model& m = frame().model();
    const int lang = m.Language;
    const AccountingProcess& p = *process_;
    const MoneyShares& s = p.Shares();
    Sheets[AccountBankA]->setVisible(s.Shown(1));
    Sheets[AccountBankB]->setVisible(s.Shown(2));
    for (int k = 1; k <= 4; ++k)
        Sheets[k]->SetEntries(p.Shown(k, Assets), p.Shown(k, Liabilities), m);
    RoundHeading->setText(Q(Translate(p.Heading(), lang)));
    EntryCounter->setText(Q(Translate("Eintrag##Entry", lang)) + QStringLiteral(": ") +
                          QString::number(p.Booked()));
    RoundCounter->setText(Q(Translate("Runde##Round", lang)) + QStringLiteral(": ") +
                          QString::number(p.Round()));
    Explanation->setPlainText(Q(p.Explanation(lang)));
    Explanation->verticalScrollBar()->setValue(Explanation->verticalScrollBar()->maximum());
    NextBookingButton->setEnabled(p.CanGoForward());
    CycleEndButton->setEnabled(p.CanGoForward());
    UndoBookingButton->setEnabled(p.CanUndo());
    CycleStartButton->setEnabled(p.CanRestart());
}

BankNamesDialog::BankNamesDialog(const MoneyShares& shares, int language, QWidget* parent)
    : QDialog(parent) {
    auto tr = [language](const char* s) { return Q(Translate(s, language)); };
    setWindowTitle(tr("Banknamen##Bank Names"));
    auto* form = new QFormLayout;
    NameAEdit = new QLineEdit(Q(shares.NameA));
    NameBEdit = new QLineEdit(Q(shares.NameB));
    for (QLineEdit* e : {NameAEdit, NameBEdit}) {
        e->setMaxLength(static_cast<int>(MoneyShares::MaxNameLength));
        e->setPlaceholderText(e == NameAEdit ? QStringLiteral("Bank A") : QStringLiteral("Bank B"));
    }
    form->addRow(tr("Name der &ersten Geschäftsbank (A):##Name of the &first commercial bank (A):"),
                 NameAEdit);
    form->addRow(tr("Name der &zweiten Geschäftsbank (B):##Name of the &second commercial bank "
                    "(B):"),
                 NameBEdit);
    auto* hint = new QLabel(tr("Ein leeres Feld stellt den ursprünglichen Namen wieder her.##"
                               "An empty field restores the original name."));
    hint->setWordWrap(true);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    box->button(QDialogButtonBox::Ok)->setText(tr("OK##OK"));
    box->button(QDialogButtonBox::Cancel)->setText(tr("Abbrechen##Cancel"));
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(box);
    NameAEdit->selectAll();
    NameAEdit->setFocus();
}

void MoneyAccountsWindow::EditBankNames() {
    BankNamesDialog dlg(SharedMoneyShares(), frame().model().Language, this);
    if (dlg.exec() != QDialog::Accepted) return;
    SharedMoneyShares().SetNames(dlg.NameAEdit->text().toStdString(),
                                 dlg.NameBEdit->text().toStdString());
    Rebuild(true);
}

void MoneyAccountsWindow::CycleStart() {
    process_->Restart();
    Show();
}

void MoneyAccountsWindow::NextBooking() {
    process_->Next();
    Show();
}

void MoneyAccountsWindow::UndoBooking() {
    process_->Undo();
    Show();
}

void MoneyAccountsWindow::CycleEnd() {
    process_->FinishRound();
    Show();
}

void MoneyAccountsWindow::RefreshLanguage() {
    ApplyTexts();
    Show();
}

long MoneyAccountsWindow::Message(int msg, long wParam, long lParam) {
    switch (msg) {
    case MSG_MODEL_CHANGED:
        if (frame().model().Sw(18) != 1) {
            close();
            return 0;
        }
        Rebuild(false);
        return 0;
    case MSG_PERIOD_MOVED:
        Rebuild(false);
        return 0;
    case MSG_NUMBER_FORMAT:
        Rebuild(true);
        return 0;
    case MSG_GRAPH_OPTIONS:
        ApplyTextSize();
        return 0;
    case MSG_PRINT:
        Print();
        return 0;
    default:
        return WorkingWindow::Message(msg, wParam, lParam);
    }
}

// The round heading, the balance sheets as T-accounts side by side in pairs and the
// explanation below; what does not fit is left out.
void MoneyAccountsWindow::PaintTo(const PaintTarget& target) {
    if (target.kind == PaintTarget::Screen || !target.painter) {
        Show();
        return;
    }
    const Model& m = frame().model();
    const int lang = m.Language;
    const AccountingProcess& p = *process_;
    QPainter& painter = *target.painter;
    painter.save();
    if (target.kind == PaintTarget::Image) painter.setFont(font());
    painter.setPen(TextColour(target));
    const QFontMetrics fm(painter.font(), painter.device());
    const int lh = fm.height();
    const QRect b = target.body;
    QFont bold = painter.font();
    bold.setBold(true);
    int y = b.top();
    painter.save();
    painter.setFont(bold);
    painter.drawText(QRect(b.left(), y, b.width(), lh), Qt::AlignLeft,
                     Q(Translate(p.Heading(), lang)));
    painter.restore();
    y += 2 * lh;

    std::vector<int> shown;
    for (int k : {AccountBankA, AccountBankB, AccountCentralBank, AccountNonBanks})
        if (k > 2 || p.Shares().Shown(k)) shown.push_back(k);
    const int gap = lh;
    const int colW = (b.width() - gap) / 2;
    size_t longest = 0;
    for (int k : shown)
        longest = std::max({longest, p.Shown(k, Assets).size(), p.Shown(k, Liabilities).size()});
    const int sheetH = std::min(static_cast<int>((longest + 2) * lh), (b.bottom() - y) / 3);
    auto sheet = [&](int k, int x, int top) {
        QString title = k == AccountBankA   ? Q(p.Shares().NameA)
                        : k == AccountBankB ? Q(p.Shares().NameB)
                        : k == AccountCentralBank
                            ? Q(Translate("Zentralbank##Central Bank", lang))
                            : Q(Translate("Nichtbanken##Nonbanking Sector", lang));
        painter.save();
        painter.setFont(bold);
        painter.drawText(QRect(x, top, colW, lh), Qt::AlignHCenter, title);
        painter.restore();
        const int lineY = top + lh + lh / 4;
        painter.drawLine(x, lineY, x + colW, lineY);
        const int mid = x + colW / 2;
        painter.drawLine(mid, lineY, mid, top + sheetH);
        const int pad = fm.averageCharWidth();
        auto side = [&](const std::vector<ShownEntry>& entries, int left, int right) {
            int yy = lineY + lh / 4;
            for (const ShownEntry& e : entries) {
                if (yy + lh > top + sheetH) break;
                const QRect r(left + pad, yy, right - left - 2 * pad, lh);
                painter.drawText(r, Qt::AlignLeft,
                                 Q(e.Tag) + QStringLiteral("  ") +
                                     Q(Translate(e.Label, m.Language)));
                painter.drawText(r, Qt::AlignRight, Q(m.FormatNumber(e.Amount)));
                yy += lh;
            }
        };
        side(p.Shown(k, Assets), x, mid);
        side(p.Shown(k, Liabilities), mid, x + colW);
    };
    for (size_t i = 0; i < shown.size(); ++i) {
        const int x = b.left() + static_cast<int>(i % 2) * (colW + gap);
        const int top = y + static_cast<int>(i / 2) * (sheetH + gap);
        sheet(shown[i], x, top);
    }
    y += static_cast<int>((shown.size() + 1) / 2) * (sheetH + gap);
    const QRect textRect(b.left(), y, b.width(), std::max(0, b.bottom() - y));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     Q(p.Explanation(lang)));
    painter.restore();
}

void MoneyAccountsWindow::Print() {
    QPainter painter;
    if (!BeginPrintJob(painter)) return;
    QPrinter& printer = frame().printer();
    const QFont font = frame().printerFont();
    const Model& m = frame().model();
    const int lang = m.Language;
    const AccountingProcess& p = *process_;
    PageFlow flow(painter, printer, font, font, windowTitle(),
                  SourceFooterWithPage(font, frame().modelBaseName(), lang));
    const QRect& body = flow.Body();
    QFont bold = font;
    bold.setBold(true);
    const QFontMetrics fm(font, &printer);
    const int lh = fm.height();
    const int pad = fm.averageCharWidth();
    const int half = body.width() / 2;
    flow.Paragraph(Q(Translate(p.Heading(), lang)), bold, frame().printerFontColour());
    flow.Advance(lh);
    const QTextOption wrap = WrappingOption();
    for (int k : {AccountBankA, AccountBankB, AccountCentralBank, AccountNonBanks}) {
        if (k <= 2 && !p.Shares().Shown(k)) continue;
        const QString title = k == AccountBankA   ? Q(p.Shares().NameA)
                              : k == AccountBankB ? Q(p.Shares().NameB)
                              : k == AccountCentralBank
                                  ? Q(Translate("Zentralbank##Central Bank", lang))
                                  : Q(Translate("Nichtbanken##Nonbanking Sector", lang));
        const std::vector<ShownEntry> sides[2] = {p.Shown(k, Assets), p.Shown(k, Liabilities)};
        auto head = [&] {
            painter.save();
            painter.setFont(bold);
            painter.setPen(frame().printerFontColour());
            painter.drawText(QRect(body.left(), flow.Y(), body.width(), lh), Qt::AlignHCenter,
                             title);
            painter.restore();
            painter.drawLine(body.left(), flow.Y() + lh + 1, body.right(), flow.Y() + lh + 1);
            flow.Advance(lh + 3);
        };
        flow.Reserve(2 * lh + 3);
        head();
        const size_t rows = std::max(sides[0].size(), sides[1].size());
        auto label = [&](const ShownEntry& e) {
            return Q(e.Tag) + QStringLiteral("  ") + Q(Translate(e.Label, lang));
        };
        painter.save();
        painter.setFont(font);
        painter.setPen(frame().printerFontColour());
        for (size_t r = 0; r < rows; ++r) {
            // The amount keeps its place on the right; the label wraps in the room left of it.
            int h = lh;
            for (const auto& side : sides)
                if (r < side.size()) {
                    const int amountWidth =
                        fm.horizontalAdvance(Q(m.FormatNumber(side[r].Amount))) + 2 * pad;
                    const QRectF room(0, 0, std::max(pad, half - 2 * pad - amountWidth), 100 * lh);
                    h = std::max(h,
                                 static_cast<int>(std::ceil(
                                     painter.boundingRect(room, label(side[r]), wrap).height())));
                }
            if (flow.Y() + h > body.bottom()) {
                painter.restore();
                flow.NewPage();
                head();
                painter.save();
                painter.setFont(font);
                painter.setPen(frame().printerFontColour());
            }
            for (int c = 0; c < 2; ++c) {
                if (r >= sides[c].size()) continue;
                const ShownEntry& e = sides[c][r];
                const int x = body.left() + c * half + pad;
                const QString amount = Q(m.FormatNumber(e.Amount));
                const int amountWidth = fm.horizontalAdvance(amount) + 2 * pad;
                painter.drawText(
                    QRectF(x, flow.Y(), std::max(pad, half - 2 * pad - amountWidth), h), label(e),
                    wrap);
                painter.drawText(QRect(x, flow.Y(), half - 2 * pad, lh), Qt::AlignRight, amount);
            }
            painter.drawLine(body.left() + half, flow.Y(), body.left() + half, flow.Y() + h);
            flow.Advance(h);
        }
        painter.restore();
        flow.Advance(lh);
    }
    QStringList lines = Q(p.Explanation(lang)).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.front() == Q(Translate(p.Heading(), lang)))
        lines.pop_front(); // printed above the balance sheets
    for (const QString& line : lines)
        flow.Paragraph(line.isEmpty() ? QStringLiteral(" ") : line, font,
                       frame().printerFontColour());
    flow.Finish();
    painter.end();
}

} // namespace tv
