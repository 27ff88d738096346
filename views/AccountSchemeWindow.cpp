#include "views/AccountSchemeWindow.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/UserHost.h"
#include "logic/HelpPages.h"
#include "services/HelpSystem.h"
#include "services/Printing.h"
#include "services/WindowFrame.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

using A = SchemeAccount;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

struct Panel {
    A account;
    QRect rect;
};

constexpr int Margin = 6;

int Rows(const AccountScheme& s, A a) {
    return static_cast<int>(std::max(s.State().Column(a, 0).size(), s.State().Column(a, 1).size()));
}

// Sector panels two or three to a row, the markets in a row of their own. Returns the
// panels and sets the height they need.
std::vector<Panel> LayoutPanels(const AccountScheme& s, int width, int lineHeight, int& height) {
    std::vector<A> sectors, markets;
    for (A a : {A::Households, A::Firms, A::Financial, A::Government, A::World})
        if (s.Visible(a)) sectors.push_back(a);
    for (A a : {A::BondMarket, A::ForexMarket})
        if (s.Visible(a)) markets.push_back(a);
    std::vector<std::vector<A>> rows;
    const size_t perRow = sectors.size() <= 4 ? 2 : 3;
    for (size_t k = 0; k < sectors.size(); k += perRow)
        rows.emplace_back(sectors.begin() + k,
                          sectors.begin() + std::min(k + perRow, sectors.size()));
    if (!markets.empty()) rows.push_back(markets);
    std::vector<Panel> panels;
    int y = Margin;
    for (const auto& row : rows) {
        const int columns = std::max<int>(static_cast<int>(perRow), static_cast<int>(row.size()));
        const int w = std::max(40, (width - Margin * (columns + 1)) / columns);
        int lines = 0;
        for (A a : row)
            lines = std::max(lines, Rows(s, a));
        const int h = (lines + 2) * lineHeight + 10;
        int x = Margin;
        for (A a : row) {
            panels.push_back({a, QRect(x, y, w, h)});
            x += w + Margin;
        }
        y += h + Margin;
    }
    height = y;
    return panels;
}

bool IsRule(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c == '-'; });
}

void DrawPanels(QPainter& p, const std::vector<Panel>& panels, const AccountScheme& s, int language,
                const QFont& font, int selectedTag, bool selectedCounter,
                std::vector<SchemeHit>* hits) {
    const QFontMetrics fm(font, p.device());
    const int lh = fm.height();
    QFont bold = font;
    bold.setBold(true);
    for (const Panel& panel : panels) {
        const QRect r = panel.rect;
        p.setPen(QPen(Qt::darkGray, 1));
        p.setBrush(QColor(250, 250, 246));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setBrush(Qt::NoBrush);
        p.setPen(Qt::black);
        p.setFont(bold);
        p.drawText(QRect(r.left(), r.top() + 2, r.width(), lh), Qt::AlignHCenter,
                   Q(Translate(SchemeAccountTitle(panel.account), language)));
        p.setFont(font);
        const int mid = r.left() + r.width() / 2;
        const int head = r.top() + 2 + lh;
        p.drawText(QRect(r.left(), head, mid - r.left(), lh), Qt::AlignHCenter,
                   QString::fromLatin1(SchemeColumnHeading(panel.account, 0)));
        p.drawText(QRect(mid, head, r.right() - mid, lh), Qt::AlignHCenter,
                   QString::fromLatin1(SchemeColumnHeading(panel.account, 1)));
        const int top = head + lh + 2;
        p.drawLine(r.left() + 4, top - 1, r.right() - 4, top - 1);
        p.drawLine(mid, top - 1, mid, r.bottom() - 4);
        for (int c = 0; c < 2; ++c) {
            const int x = c == 0 ? r.left() + 4 : mid + 4;
            const int w = (c == 0 ? mid - r.left() : r.right() - mid) - 8;
            int y = top;
            for (const SchemeEntry& e : s.State().Column(panel.account, c)) {
                const QRect cell(x, y, w, lh);
                if (IsRule(e.Text)) {
                    p.setPen(Qt::black);
                    p.drawLine(x, y + lh / 2, x + w, y + lh / 2);
                } else {
                    const bool selected =
                        e.Tag != 0 && e.Tag == selectedTag && e.Counter == selectedCounter;
                    if (selected) p.fillRect(cell, QColor(0, 255, 255));
                    p.setPen(e.Tag != 0 && e.Tag == s.BookingCount() ? Qt::red : Qt::black);
                    p.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter,
                               fm.elidedText(Q(e.Text), Qt::ElideRight, w));
                    if (hits && e.Tag != 0) hits->push_back({cell, e.Tag, e.Counter});
                }
                y += lh;
            }
        }
    }
    p.setPen(Qt::black);
}

// The hint texts of the four buttons: booking mode, then phase mode.
const char* const BookingHints[4] = {
    "Kreislaufanfang| Stellt den Anfangszustand im Kreislaufschema wieder her (Tastatur: "
    "Pos1-Taste)##Start of the cycle| Restores the initial state of the account scheme "
    "(keyboard: Home)",
    "Letzte Buchung löschen| Löscht die letzte Buchung im Kreislaufschema (Tastatur: "
    "Cursortaste \"nach links\")##Undo last booking| Removes the last booking from the account "
    "scheme (keyboard: Left arrow)",
    "Nächste Buchung| Führt die nächste Buchung im Kreislaufschema aus (Tastatur: Cursortaste "
    "\"nach rechts\")##Next booking| Makes the next booking in the account scheme (keyboard: "
    "Right arrow)",
    "Kreislaufende| Führt alle noch fehlenden Buchungen des aktuellen Markttermins aus "
    "(Tastatur: Ende-Taste)##End of the cycle| Makes all remaining bookings of the current "
    "market date (keyboard: End)",
};
const char* const PhaseHints[4] = {
    "1. Transaktionsphase| Blendet die erste Transaktionsphase der aktuellen Periode ein "
    "(Tastatur: Pos1-Taste)##1st transaction phase| Shows the first transaction phase of the "
    "current period (keyboard: Home)",
    "Vorangehende Transaktionsphase| Blendet die vorangehende Transaktionsphase der aktuellen "
    "Periode ein (Tastatur: Cursortaste \"nach links\")##Previous transaction phase| Shows the "
    "previous transaction phase of the current period (keyboard: Left arrow)",
    "Nächste Transaktionsphase| Blendet die nächste Transaktionsphase der aktuellen Periode ein "
    "(Tastatur: Cursortaste \"nach rechts\")##Next transaction phase| Shows the next "
    "transaction phase of the current period (keyboard: Right arrow)",
    "Letzte Transaktionsphase| Blendet die letzte Transaktionsphase der aktuellen Periode ein "
    "(Tastatur: Ende-Taste)##Last transaction phase| Shows the last transaction phase of the "
    "current period (keyboard: End)",
};
const char* const PhaseLabelHint =
    "Aktuelle Transaktionsphase| Aktuelle Transaktionsphase der Periode, die gerade gebucht "
    "wird  (nur relevant im Modell mit Geld, d.h. bei flex. Zinsniveau)##Current transaction "
    "phase| The transaction phase of the period being booked (only relevant in the model with "
    "money, that is with a flexible interest rate)";
const char* const TransactionHint =
    "Buchungsmodus| Die Schaltflächen führen einzelne Buchungen aus##Booking mode| The buttons "
    "make single bookings";

void SetHint(QWidget* w, const char* hint, int language) {
    const QString text = Q(Translate(hint, language));
    const int bar = text.indexOf(QLatin1Char('|'));
    w->setToolTip(bar < 0 ? text : text.left(bar));
    w->setStatusTip(bar < 0 ? text : text.mid(bar + 1).trimmed());
}

// The tag a line or entry text begins with: "3)" gives (3, false), "3')" (3, true); 0 when
// the ")" does not stand within the first four characters.
std::pair<int, bool> LeadingTag(const QString& text) {
    const int close = text.indexOf(QLatin1Char(')'));
    if (close < 1 || close > 3) return {0, false};
    QString head = text.left(close);
    const bool counter = head.endsWith(QLatin1Char('\''));
    if (counter || head.endsWith(QLatin1Char('*'))) head.chop(1);
    bool ok = false;
    const int tag = head.toInt(&ok);
    return ok && tag > 0 ? std::pair{tag, counter} : std::pair{0, false};
}

} // namespace

void SchemeLabel::mousePressEvent(QMouseEvent* e) {
    QLabel::mousePressEvent(e);
    emit clicked();
}

SchemeCanvas::SchemeCanvas(const AccountScheme& scheme, QWidget* parent)
    : QWidget(parent), scheme_(scheme) {
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void SchemeCanvas::Relayout() {
    int height = 0;
    LayoutPanels(scheme_, width(), QFontMetrics(font()).height(), height);
    setMinimumHeight(height);
    update();
}

void SchemeCanvas::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Relayout();
}

void SchemeCanvas::paintEvent(QPaintEvent*) {
    QPainter p(this);
    int height = 0;
    const auto panels = LayoutPanels(scheme_, width(), QFontMetrics(font()).height(), height);
    hits_.clear();
    DrawPanels(p, panels, scheme_, language, font(), selectedTag, selectedCounter, &hits_);
}

void SchemeCanvas::mousePressEvent(QMouseEvent* e) {
    setFocus();
    for (const SchemeHit& h : hits_)
        if (h.rect.contains(e->position().toPoint())) {
            if (onEntryClicked) onEntryClicked(h.tag, h.counter);
            return;
        }
    QWidget::mousePressEvent(e);
}

void SchemeCanvas::keyPressEvent(QKeyEvent* e) {
    if (onKey && onKey(e->key())) return;
    QWidget::keyPressEvent(e);
}

AccountSchemeWindow::AccountSchemeWindow(WindowFrame& frame)
    : WorkingWindow(frame), scheme_(frame.model()) {
    setWindowTitle(Q(Translate(Caption, 1)));
    resize(900, 640);

    auto* content = new QWidget;
    auto* outer = new QVBoxLayout(content);
    outer->setContentsMargins(2, 2, 2, 2);
    outer->setSpacing(2);

    auto* bar = new QHBoxLayout;
    bar->setSpacing(2);
    auto button = [&](const char* name, QStyle::StandardPixmap icon,
                      void (AccountSchemeWindow::*go)()) {
        auto* b = new QToolButton;
        b->setObjectName(QLatin1String(name));
        b->setIcon(style()->standardIcon(icon));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, go] { (this->*go)(); });
        bar->addWidget(b);
        return b;
    };
    FirstButton = button("SBAnfang", QStyle::SP_MediaSkipBackward, &AccountSchemeWindow::GoFirst);
    BackButton = button("SBZurueck", QStyle::SP_MediaSeekBackward, &AccountSchemeWindow::GoBack);
    NextButton = button("SBWeiter", QStyle::SP_MediaSeekForward, &AccountSchemeWindow::GoNext);
    LastButton = button("SBEnde", QStyle::SP_MediaSkipForward, &AccountSchemeWindow::GoLast);
    TransactionLabel = new SchemeLabel;
    TransactionLabel->setObjectName(QStringLiteral("LTransaktion"));
    TransactionLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PhaseLabel = new SchemeLabel;
    PhaseLabel->setObjectName(QStringLiteral("LPhase"));
    PhaseLabel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PhaseLabel->setMinimumWidth(90);
    connect(TransactionLabel, &SchemeLabel::clicked, this, [this] { SetPhaseMode(false); });
    connect(PhaseLabel, &SchemeLabel::clicked, this, [this] { SetPhaseMode(true); });
    bar->addSpacing(8);
    bar->addWidget(TransactionLabel);
    bar->addWidget(PhaseLabel);
    bar->addStretch(1);
    outer->addLayout(bar);

    auto* split = new QSplitter(Qt::Vertical);
    Canvas = new SchemeCanvas(scheme_);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(Canvas);
    scroll->setFocusPolicy(Qt::NoFocus);
    split->addWidget(scroll);
    Info = new QTextEdit;
    Info->setObjectName(QStringLiteral("Info"));
    Info->setReadOnly(true);
    Info->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Info->setFocusPolicy(Qt::NoFocus);
    Info->viewport()->installEventFilter(this);
    split->addWidget(Info);
    // The accounts above over the full width, the explanations below them.
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 1);
    split->setSizes({400, 200});
    outer->addWidget(split, 1);
    setWidget(content);
    setFocusProxy(Canvas);
    SetHelpContext(this, help::AccountScheme);

    Canvas->onEntryClicked = [this](int tag, bool counter) { SelectTag(tag, counter); };
    Canvas->onKey = [this](int key) { return HandleKey(key); };

    Reload(true);
}

bool AccountSchemeWindow::HandleKey(int key) {
    switch (key) {
    case Qt::Key_Home:
        if (FirstButton->isEnabled()) GoFirst();
        return true;
    case Qt::Key_Left:
        if (BackButton->isEnabled()) GoBack();
        return true;
    case Qt::Key_Right:
        if (NextButton->isEnabled()) GoNext();
        return true;
    case Qt::Key_End:
        if (LastButton->isEnabled()) GoLast();
        return true;
    default:
        return false;
    }
}

void AccountSchemeWindow::keyPressEvent(QKeyEvent* e) {
    if (HandleKey(e->key())) return;
    WorkingWindow::keyPressEvent(e);
}

bool AccountSchemeWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Info->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        const QTextCursor c = Info->cursorForPosition(me->position().toPoint());
        SelectByInfoLine(c.block().text());
        Canvas->setFocus();
    }
    return WorkingWindow::eventFilter(watched, event);
}

void AccountSchemeWindow::Reload(bool firstPhase) {
    scheme_.Load();
    if (firstPhase && scheme_.Phase() != 1) scheme_.SetPhase(1);
    if (scheme_.PhaseCount() == 1) phaseMode_ = false;
    Canvas->selectedTag = 0;
    Show();
}

void AccountSchemeWindow::GoFirst() {
    if (phaseMode_)
        scheme_.SetPhase(1);
    else
        scheme_.Restart();
    Show();
}

void AccountSchemeWindow::GoBack() {
    if (phaseMode_)
        scheme_.SetPhase(scheme_.Phase() - 1);
    else
        scheme_.Undo();
    Show();
}

void AccountSchemeWindow::GoNext() {
    if (phaseMode_)
        scheme_.SetPhase(scheme_.Phase() + 1);
    else
        scheme_.Step();
    Show();
}

void AccountSchemeWindow::GoLast() {
    if (phaseMode_)
        scheme_.SetPhase(scheme_.PhaseCount());
    else
        scheme_.Finish();
    Show();
}

void AccountSchemeWindow::SetPhaseMode(bool on) {
    if (on && scheme_.PhaseCount() <= 1) return;
    phaseMode_ = on;
    scheme_.Restart();
    Show();
}

void AccountSchemeWindow::UpdateButtons() {
    if (phaseMode_) {
        const bool first = scheme_.Phase() <= 1, last = scheme_.Phase() >= scheme_.PhaseCount();
        FirstButton->setEnabled(!first);
        BackButton->setEnabled(!first);
        NextButton->setEnabled(!last);
        LastButton->setEnabled(!last);
    } else {
        const bool started = scheme_.BookingCount() > 0 || scheme_.Finished();
        FirstButton->setEnabled(started);
        BackButton->setEnabled(started);
        NextButton->setEnabled(!scheme_.Finished());
        LastButton->setEnabled(!scheme_.Finished());
    }
    const int language = frame().model().Language;
    PhaseLabel->setText(Q(Translate("akt. TP: ##cur. TP: ", language)) +
                        QString::number(scheme_.Phase()));
    QPalette pal = PhaseLabel->palette();
    pal.setColor(QPalette::WindowText, scheme_.PhaseCount() > 1 ? Qt::black : Qt::gray);
    PhaseLabel->setPalette(pal);
    // The active mode's label is raised.
    TransactionLabel->setFrameStyle(QFrame::Panel | (phaseMode_ ? QFrame::Sunken : QFrame::Raised));
    PhaseLabel->setFrameStyle(QFrame::Panel | (phaseMode_ ? QFrame::Raised : QFrame::Sunken));
}

void AccountSchemeWindow::UpdateHints() {
    const int language = frame().model().Language;
    QToolButton* buttons[4] = {FirstButton, BackButton, NextButton, LastButton};
    for (int k = 0; k < 4; ++k)
        SetHint(buttons[k], phaseMode_ ? PhaseHints[k] : BookingHints[k], language);
    SetHint(PhaseLabel, PhaseLabelHint, language);
    SetHint(TransactionLabel, TransactionHint, language);
    TransactionLabel->setText(Q(Translate("Trans-\naktion##Trans-\naction", language)));
}

void AccountSchemeWindow::FillInfo() {
    QString html;
    for (const SchemeLine& line : scheme_.State().Lines) {
        const QString text = Q(line.Text).toHtmlEscaped();
        switch (line.Kind) {
        case SchemeLine::Heading:
            html += QStringLiteral("<p style=\"margin:4px 0 0 0\"><u>%1</u></p>").arg(text);
            break;
        case SchemeLine::First:
            html += QStringLiteral("<p style=\"margin:0; color:#ff0000\">%1</p>").arg(text);
            break;
        case SchemeLine::End:
            html += QStringLiteral("<p align=\"center\" style=\"margin:4px 0 0 0\"><i>%1</i></p>")
                        .arg(text);
            break;
        default:
            html += QStringLiteral("<p style=\"margin:0\">%1</p>").arg(text);
        }
    }
    Info->setHtml(html);
    Info->verticalScrollBar()->setValue(Info->verticalScrollBar()->maximum());
}

void AccountSchemeWindow::HighlightInfo() {
    QList<QTextEdit::ExtraSelection> marks;
    const int tag = Canvas->selectedTag;
    if (tag != 0) {
        for (QTextBlock b = Info->document()->begin(); b.isValid(); b = b.next()) {
            const auto [t, counter] = LeadingTag(b.text());
            if (t == tag && counter == Canvas->selectedCounter) {
                QTextEdit::ExtraSelection mark;
                mark.cursor = QTextCursor(b);
                mark.cursor.select(QTextCursor::BlockUnderCursor);
                mark.format.setBackground(QColor(0, 255, 255));
                marks.push_back(mark);
                Info->setTextCursor(QTextCursor(b));
                Info->ensureCursorVisible();
                break;
            }
        }
    }
    Info->setExtraSelections(marks);
}

void AccountSchemeWindow::Show() {
    Canvas->language = frame().model().Language;
    UpdateButtons();
    UpdateHints();
    FillInfo();
    HighlightInfo();
    Canvas->Relayout();
}

void AccountSchemeWindow::SelectTag(int tag, bool counter) {
    Canvas->selectedTag = tag;
    Canvas->selectedCounter = counter;
    HighlightInfo();
    Canvas->update();
}

void AccountSchemeWindow::SelectByInfoLine(const QString& line) {
    const auto [tag, counter] = LeadingTag(line);
    if (tag != 0) SelectTag(tag, counter);
}

void AccountSchemeWindow::RefreshLanguage() {
    const int language = frame().model().Language;
    setWindowTitle(Q(Translate(Caption, language)));
    scheme_.Refresh();
    Show();
}

long AccountSchemeWindow::Message(int msg, long wParam, long lParam) {
    const Model& m = frame().model();
    switch (msg) {
    case MSG_PERIOD_MOVED: {
        const PeriodState& p = m.Periods;
        const bool first = wParam == 2 || (wParam == 1 && p.LeftEdge == p.CurrentPeriod) ||
                           (wParam == 3 && p.RightEdge == p.CurrentPeriod);
        Reload(first);
        return 0;
    }
    case MSG_MODEL_CHANGED:
        if (m.Sw(17) == 2) {
            frame().host().ShowMessage(
                "Achtung!##Attention!",
                "Unvollständiger Wertpapiermarkt -> Kreislaufmodell wird geschlossen.##"
                "Incomplete bond market -> the account scheme is closed.");
            close();
            return 0;
        }
        Reload(false);
        return 0;
    case MSG_NUMBER_FORMAT:
        scheme_.Refresh();
        Show();
        return 0;
    case MSG_PRINT:
        Print();
        return 0;
    default:
        return WorkingWindow::Message(msg, wParam, lParam);
    }
}

// The panels in the upper part, the explanations below them as far as they fit.
void AccountSchemeWindow::PaintTo(const PaintTarget& target) {
    if (!target.painter) return;
    QPainter& p = *target.painter;
    p.save();
    const QFont f = target.kind == PaintTarget::Printer ? frame().printerFont() : Canvas->font();
    const QFontMetrics fm(f, p.device());
    const QRect body = target.body;
    int height = 0;
    auto panels = LayoutPanels(scheme_, body.width(), fm.height(), height);
    double scale = 1;
    if (height > body.height() * 0.7 && height > 0) {
        scale = body.height() * 0.7 / height;
        panels = LayoutPanels(scheme_, static_cast<int>(body.width() / scale), fm.height(), height);
    }
    p.save();
    p.translate(body.topLeft());
    p.scale(scale, scale);
    DrawPanels(p, panels, scheme_, frame().model().Language, f, Canvas->selectedTag,
               Canvas->selectedCounter, nullptr);
    p.restore();
    int y = body.top() + static_cast<int>(height * scale) + fm.height() / 2;
    p.setFont(f);
    for (const SchemeLine& line : scheme_.State().Lines) {
        QFont lf = f;
        lf.setUnderline(line.Kind == SchemeLine::Heading);
        lf.setItalic(line.Kind == SchemeLine::End);
        p.setFont(lf);
        p.setPen(line.Kind == SchemeLine::First ? Qt::red : Qt::black);
        const int align =
            Qt::TextWordWrap | (line.Kind == SchemeLine::End ? Qt::AlignHCenter : Qt::AlignLeft);
        const QRect room(body.left(), y, body.width(), body.bottom() - y);
        const QRect need = p.boundingRect(room, align, Q(line.Text));
        if (need.height() > room.height()) break;
        p.drawText(room, align, Q(line.Text));
        y += need.height();
    }
    p.restore();
}

// The accounts one below the other, each as a T-account over the body's width, then the
// explanations; entries and lines wrap instead of being cut, and pages follow as needed.
void AccountSchemeWindow::Print() {
    QPainter painter;
    if (!BeginPrintJob(painter)) return;
    QPrinter& printer = frame().printer();
    const QFont font = frame().printerFont();
    const int language = frame().model().Language;
    PageFlow flow(painter, printer, font, font, windowTitle(),
                  SourceFooterWithPage(font, frame().modelBaseName(), language));
    const QRect& body = flow.Body();
    const QFontMetrics fm(font, &printer);
    const int lh = fm.height();
    const int pad = fm.averageCharWidth();
    QFont bold = font;
    bold.setBold(true);
    const int half = body.width() / 2;
    const QTextOption wrap = WrappingOption();
    auto entryHeight = [&](const SchemeEntry* e) {
        if (!e || IsRule(e->Text)) return lh;
        const QRectF room(0, 0, half - 2 * pad, 100 * lh);
        return std::max(
            lh, static_cast<int>(std::ceil(painter.boundingRect(room, Q(e->Text), wrap).height())));
    };
    painter.save();
    painter.setFont(font);
    for (A a : {A::Households, A::Firms, A::Financial, A::Government, A::World, A::BondMarket,
                A::ForexMarket}) {
        if (!scheme_.Visible(a)) continue;
        const auto& left = scheme_.State().Column(a, 0);
        const auto& right = scheme_.State().Column(a, 1);
        const size_t rows = std::max(left.size(), right.size());
        auto head = [&] {
            painter.setPen(Qt::black);
            painter.setFont(bold);
            painter.drawText(QRect(body.left(), flow.Y(), body.width(), lh), Qt::AlignHCenter,
                             Q(Translate(SchemeAccountTitle(a), language)));
            painter.setFont(font);
            painter.drawText(QRect(body.left(), flow.Y() + lh, half, lh), Qt::AlignHCenter,
                             QString::fromLatin1(SchemeColumnHeading(a, 0)));
            painter.drawText(QRect(body.left() + half, flow.Y() + lh, half, lh), Qt::AlignHCenter,
                             QString::fromLatin1(SchemeColumnHeading(a, 1)));
            painter.drawLine(body.left(), flow.Y() + 2 * lh + 1, body.right(),
                             flow.Y() + 2 * lh + 1);
            flow.Advance(2 * lh + 3);
        };
        flow.Reserve(3 * lh + 3);
        head();
        for (size_t r = 0; r < rows; ++r) {
            const SchemeEntry* cells[2] = {r < left.size() ? &left[r] : nullptr,
                                           r < right.size() ? &right[r] : nullptr};
            const int h = std::max(entryHeight(cells[0]), entryHeight(cells[1]));
            if (flow.Y() + h > body.bottom()) {
                flow.NewPage();
                head();
            }
            for (int c = 0; c < 2; ++c) {
                const SchemeEntry* e = cells[c];
                const int x = body.left() + c * half;
                if (!e) continue;
                if (IsRule(e->Text)) {
                    painter.setPen(Qt::black);
                    painter.drawLine(x + pad, flow.Y() + lh / 2, x + half - pad, flow.Y() + lh / 2);
                    continue;
                }
                painter.setPen(e->Tag != 0 && e->Tag == scheme_.BookingCount() ? Qt::red
                                                                               : Qt::black);
                painter.drawText(QRectF(x + pad, flow.Y(), half - 2 * pad, h), Q(e->Text), wrap);
            }
            painter.setPen(Qt::black);
            painter.drawLine(body.left() + half, flow.Y(), body.left() + half, flow.Y() + h);
            flow.Advance(h);
        }
        flow.Advance(lh);
    }
    painter.restore();
    for (const SchemeLine& line : scheme_.State().Lines) {
        QFont lf = font;
        lf.setUnderline(line.Kind == SchemeLine::Heading);
        lf.setItalic(line.Kind == SchemeLine::End);
        flow.Paragraph(Q(line.Text), lf, line.Kind == SchemeLine::First ? Qt::red : Qt::black,
                       line.Kind == SchemeLine::End ? Qt::AlignHCenter : Qt::AlignLeft);
    }
    flow.Finish();
    painter.end();
}

} // namespace tv
