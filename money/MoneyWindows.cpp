#include "money/MoneyWindows.h"

#include "app/Printing.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "windows/WindowFrame.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QShowEvent>
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
    SERunden = new QSpinBox;
    SERunden->setRange(1, 100);
    SERunden->setValue(StartRounds);
    SERunden->setKeyboardTracking(false);
    roundsLabel_->setBuddy(SERunden);
    RBAbsolut = new QRadioButton;
    RBDifferenzen = new QRadioButton;
    RBNominal = new QRadioButton;
    RBReal = new QRadioButton;
    RBAbsolut->setChecked(true);
    RBNominal->setChecked(true);
    auto* kind = new QButtonGroup(this);
    kind->addButton(RBAbsolut);
    kind->addButton(RBDifferenzen);
    auto* unit = new QButtonGroup(this);
    unit->addButton(RBNominal);
    unit->addButton(RBReal);
    SBRundeFuerRunde = new QPushButton;
    SBRundeFuerRunde->setCheckable(true);
    row->addWidget(roundsLabel_);
    row->addWidget(SERunden);
    row->addSpacing(8);
    row->addWidget(RBAbsolut);
    row->addWidget(RBDifferenzen);
    row->addSpacing(8);
    row->addWidget(RBNominal);
    row->addWidget(RBReal);
    row->addSpacing(8);
    row->addWidget(SBRundeFuerRunde);
    row->addStretch(1);
    layout->addWidget(panel_);

    Tabelle = new QTableWidget(0, WorksheetValues::Columns);
    Tabelle->verticalHeader()->hide();
    Tabelle->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tabelle->setSelectionMode(QAbstractItemView::SingleSelection);
    Tabelle->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Tabelle->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    Tabelle->setWordWrap(false);
    Tabelle->verticalHeader()->setMinimumSectionSize(1);
    Tabelle->verticalHeader()->setDefaultSectionSize(Tabelle->fontMetrics().height() + 6);
    Tabelle->horizontalHeader()->setSectionsClickable(false);
    Tabelle->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Tabelle->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    strips_ = new WorksheetStrips(Tabelle, content);
    layout->addWidget(strips_);
    layout->addWidget(Tabelle, 1);
    setWidget(content);
    resize(640, 300);

    connect(SERunden, &QSpinBox::valueChanged, this, [this] { Recompute(); });
    connect(kind, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool on) {
        if (on) Recompute();
    });
    connect(unit, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool on) {
        if (on) Recompute();
    });
    connect(SBRundeFuerRunde, &QPushButton::toggled, this, &MoneyWorksheetWindow::SetRoundByRound);
    connect(Tabelle->horizontalHeader(), &QHeaderView::sectionResized, strips_,
            [this] { strips_->update(); });
    connect(Tabelle->horizontalScrollBar(), &QScrollBar::valueChanged, strips_,
            [this] { strips_->update(); });
}

void MoneyWorksheetWindow::ApplyTexts() {
    const int lang = frame().model().Language;
    auto tr = [lang](const char* s) { return Q(Translate(s, lang)); };
    setWindowTitle(tr(MoneyWorksheetCaption));
    roundsLabel_->setText(tr("&Runden:##&Rounds:"));
    RBAbsolut->setText(tr("absolut##absolute"));
    RBDifferenzen->setText(tr("Differenzen##differences"));
    RBNominal->setText(tr("nominal##nominal"));
    RBReal->setText(tr("real##real"));
    SBRundeFuerRunde->setText(tr("Runde für Runde##Round by Round"));
    SERunden->setToolTip(tr("Anzahl der gezeigten Runden (1 bis 100)##"
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
    options.Differences = RBDifferenzen->isChecked();
    options.Real = RBReal->isChecked();
    const WorksheetValues values = ComputeWorksheet(m, t, SERunden->value());
    table_ = BuildWorksheetTable(m, t, values, options, m.Language);

    const int top = Tabelle->verticalScrollBar()->value();
    Tabelle->setUpdatesEnabled(false);
    QStringList headings;
    for (const auto& h : table_.Headings)
        headings << Q(h);
    Tabelle->setHorizontalHeaderLabels(headings);
    Tabelle->setRowCount(static_cast<int>(table_.Rows.size()));
    for (int r = 0; r < static_cast<int>(table_.Rows.size()); ++r)
        for (int c = 0; c < WorksheetValues::Columns; ++c) {
            QTableWidgetItem* item = Tabelle->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                Tabelle->setItem(r, c, item);
            }
            item->setText(Q(table_.Rows[r][c]));
            item->setTextAlignment(c == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                          : Qt::AlignRight | Qt::AlignVCenter);
        }
    Tabelle->verticalScrollBar()->setValue(top);
    Tabelle->setUpdatesEnabled(true);
    strips_->SetTexts(Q(table_.BaseStrip), Q(table_.MoneyStrip));
}

int MoneyWorksheetWindow::RowHeight() const {
    return Tabelle->verticalHeader()->defaultSectionSize();
}

// The window height at which the table shows the heading and `rows` rows.
int MoneyWorksheetWindow::HeightForRows(int rows) const {
    const QMargins margins = widget()->layout()->contentsMargins();
    const int spacing = widget()->layout()->spacing();
    const int content = margins.top() + margins.bottom() + 2 * spacing +
                        panel_->sizeHint().height() + strips_->sizeHint().height() +
                        Tabelle->horizontalHeader()->sizeHint().height() +
                        2 * Tabelle->frameWidth() + rows * RowHeight();
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
            !SBRundeFuerRunde->isChecked())
            resize(width(), HeightForRows(ShownRowsAtStart));
    });
}

void MoneyWorksheetWindow::SetRoundByRound(bool on) {
    if (on) {
        savedState_ = windowState() & (Qt::WindowMinimized | Qt::WindowMaximized);
        if (savedState_ != Qt::WindowNoState) showNormal();
        savedGeometry_ = geometry();
        resize(width(), HeightForRows(1));
        Tabelle->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    } else {
        Tabelle->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
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
    p.setPen(Qt::black);
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
                              QStringLiteral(": ") + QString::number(page));
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
    Aktiva = list();
    Passiva = list();
    grid->addWidget(assetsTitle_, 0, 0);
    grid->addWidget(liabilitiesTitle_, 0, 1);
    grid->addWidget(Aktiva, 1, 0);
    grid->addWidget(Passiva, 1, 1);
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
            auto* item = new QTreeWidgetItem({Q(e.Tag), Q(e.Label), Q(m.FormatNumber(e.Amount))});
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
    fill(Aktiva, assets);
    fill(Passiva, liabilities);
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
        box->addWidget(title);
        box->addWidget(slider);
        box->addWidget(value);
        controls->addLayout(box, 1);
    };
    sliderBox(marketTitle_, TBMarktanteil, LMarktanteil);
    sliderBox(baseTitle_, TBBasisanteil, LBasisanteil);
    const MoneyShares& shares = SharedMoneyShares();
    TBMarktanteil->setValue(shares.MarketB);
    TBBasisanteil->setValue(shares.BaseB);
    auto* counters = new QVBoxLayout;
    LEintrag = new QLabel;
    LRunde = new QLabel;
    counters->addWidget(LEintrag);
    counters->addWidget(LRunde);
    controls->addLayout(counters);
    auto* buttons = new QGridLayout;
    SBKreislaufanfang = new QPushButton;
    SBNaechsteBuchung = new QPushButton;
    SBLetzteBuchungLoeschen = new QPushButton;
    SBKreislaufende = new QPushButton;
    buttons->addWidget(SBKreislaufanfang, 0, 0);
    buttons->addWidget(SBNaechsteBuchung, 0, 1);
    buttons->addWidget(SBLetzteBuchungLoeschen, 1, 0);
    buttons->addWidget(SBKreislaufende, 1, 1);
    controls->addLayout(buttons);
    layout->addLayout(controls);

    LUeberschrift = new QLabel;
    QFont bold = LUeberschrift->font();
    bold.setBold(true);
    LUeberschrift->setFont(bold);
    layout->addWidget(LUeberschrift);

    auto* sheets = new QGridLayout;
    for (int k = 1; k <= 4; ++k)
        Konten[k] = new BalanceSheet;
    sheets->addWidget(Konten[AccountBankA], 0, 0);
    sheets->addWidget(Konten[AccountBankB], 0, 1);
    sheets->addWidget(Konten[AccountCentralBank], 1, 0);
    sheets->addWidget(Konten[AccountNonBanks], 1, 1);
    layout->addLayout(sheets, 3);

    Erlaeuterung = new QPlainTextEdit;
    Erlaeuterung->setReadOnly(true);
    Erlaeuterung->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(Erlaeuterung, 1);
    setWidget(content);
    resize(780, 600);

    connect(SBKreislaufanfang, &QPushButton::clicked, this, &MoneyAccountsWindow::CycleStart);
    connect(SBNaechsteBuchung, &QPushButton::clicked, this, &MoneyAccountsWindow::NextBooking);
    connect(SBLetzteBuchungLoeschen, &QPushButton::clicked, this,
            &MoneyAccountsWindow::UndoBooking);
    connect(SBKreislaufende, &QPushButton::clicked, this, &MoneyAccountsWindow::CycleEnd);
    // The keys work anywhere in this window, and only there.
    auto key = [content](Qt::Key k, QPushButton* button) {
        auto* s = new QShortcut(QKeySequence(k), content);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(s, &QShortcut::activated, button, [button] {
            if (button->isEnabled()) button->click();
        });
    };
    key(Qt::Key_Home, SBKreislaufanfang);
    key(Qt::Key_Right, SBNaechsteBuchung);
    key(Qt::Key_Left, SBLetzteBuchungLoeschen);
    key(Qt::Key_End, SBKreislaufende);
    connect(TBMarktanteil, &QSlider::valueChanged, this, [this](int p) {
        SharedMoneyShares().SetMarketSlider(p);
        Rebuild(false);
    });
    connect(TBBasisanteil, &QSlider::valueChanged, this, [this](int p) {
        SharedMoneyShares().SetBaseSlider(p);
        Rebuild(false);
    });
    Rebuild(false);
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
    LMarktanteil->setText(shares(s.MarketA, s.MarketB));
    LBasisanteil->setText(shares(s.BaseA, s.BaseB));
    SBKreislaufanfang->setText(tr("Kreislaufanfang##Start of Cycle"));
    SBNaechsteBuchung->setText(tr("Nächste Buchung##Next Booking"));
    SBLetzteBuchungLoeschen->setText(tr("Letzte Buchung löschen##Delete Last Booking"));
    SBKreislaufende->setText(tr("Kreislaufende##End of Cycle"));
    SBKreislaufanfang->setToolTip(tr("Zurück zur Ausgangssituation (Pos1)##"
                                     "Back to the initial situation (Home)"));
    SBNaechsteBuchung->setToolTip(tr("Nächste Buchung (Pfeil rechts)##Next booking (Right)"));
    SBLetzteBuchungLoeschen->setToolTip(
        tr("Letzte Buchung zurücknehmen (Pfeil links)##Take back the last booking (Left)"));
    SBKreislaufende->setToolTip(tr("Alle übrigen Buchungen der Runde (Ende)##"
                                   "All remaining bookings of the round (End)"));
    Konten[AccountBankA]->setTitle(Q(s.NameA));
    Konten[AccountBankB]->setTitle(Q(s.NameB));
    Konten[AccountCentralBank]->setTitle(tr("Zentralbank##Central Bank"));
    Konten[AccountNonBanks]->setTitle(tr("Nichtbanken##Nonbanking Sector"));
    for (int k = 1; k <= 4; ++k)
        Konten[k]->SetSideTitles(tr("Aktiva##Assets"), tr("Passiva##Liabilities"));
}

void MoneyAccountsWindow::Show() {
    const Model& m = frame().model();
    const int lang = m.Language;
    const AccountingProcess& p = *process_;
    const MoneyShares& s = p.Shares();
    Konten[AccountBankA]->setVisible(s.Shown(1));
    Konten[AccountBankB]->setVisible(s.Shown(2));
    for (int k = 1; k <= 4; ++k)
        Konten[k]->SetEntries(p.Shown(k, Assets), p.Shown(k, Liabilities), m);
    LUeberschrift->setText(Q(Translate(p.Heading(), lang)));
    LEintrag->setText(Q(Translate("Eintrag##Entry", lang)) + QStringLiteral(": ") +
                      QString::number(p.Booked()));
    LRunde->setText(Q(Translate("Runde##Round", lang)) + QStringLiteral(": ") +
                    QString::number(p.Round()));
    Erlaeuterung->setPlainText(Q(p.Explanation(lang)));
    Erlaeuterung->verticalScrollBar()->setValue(Erlaeuterung->verticalScrollBar()->maximum());
    SBNaechsteBuchung->setEnabled(p.CanGoForward());
    SBKreislaufende->setEnabled(p.CanGoForward());
    SBLetzteBuchungLoeschen->setEnabled(p.CanUndo());
    SBKreislaufanfang->setEnabled(p.CanRestart());
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
    painter.setPen(Qt::black);
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
                painter.drawText(r, Qt::AlignLeft, Q(e.Tag) + QStringLiteral("  ") + Q(e.Label));
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

} // namespace tv
