#include "services/PeriodNavigator.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "logic/AnalysisInterval.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpressionValidator>
#include <QToolButton>

namespace tv {

namespace {

constexpr int NavigatorHeight = 29;
constexpr int ModuleWidth = 75;
constexpr int EdgeFieldWidth = 43;
constexpr int ModuleButtonWidth = 16;
constexpr int SliderButtonWidth = 14;
constexpr int PeriodFieldWidth = 38;
constexpr int RowHeight = 21;
constexpr int RowTop = 3;

// Tooltips are kept bilingual in a property and applied by SetLanguage.
void SetTip(QWidget* w, const char* bilingual) {
    w->setProperty("bilingualTip", QByteArray(bilingual));
    w->setToolTip(QString::fromStdString(Translate(bilingual, 1)));
}

QLineEdit* MakeField(QWidget* parent, const char* name, const char* tip) {
    auto* ed = new QLineEdit(parent);
    ed->setObjectName(name);
    ed->setAlignment(Qt::AlignCenter);
    ed->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}")), ed));
    SetTip(ed, tip);
    return ed;
}

QToolButton* MakeButton(QWidget* parent, const char* name, Qt::ArrowType arrow, const QString& text,
                        const char* tip) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    if (arrow != Qt::NoArrow)
        b->setArrowType(arrow);
    else
        b->setText(text);
    SetTip(b, tip);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

StepSize SizeOf(Qt::KeyboardModifiers mods) {
    if (mods & Qt::AltModifier) return StepSize::WageRound;
    if (mods & Qt::ControlModifier) return StepSize::MonetaryRound;
    return StepSize::One;
}

bool IsEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

PeriodNavigator::PeriodNavigator(AnalysisInterval& rules, QWidget* parent)
    : QWidget(parent), rules_(rules) {
    setObjectName(QStringLiteral("PeriodenNavigator"));
    setFixedHeight(NavigatorHeight);
    setMinimumWidth(2 * ModuleWidth + 100);

    edLeft_ =
        MakeField(this, "EdLinkerRand", "Linker Analyserand##Left border of the analysis interval");
    sbLeftPrev_ = MakeButton(this, "SBLinkerRandVorher", Qt::NoArrow, QStringLiteral("«"),
                             "Bisheriger linker Rand##Previous left border");
    sbLeftCur_ = MakeButton(this, "SBLinkerRandAktuell", Qt::NoArrow, QStringLiteral("t"),
                            "Linker Rand auf aktuelle Periode##Left border to the current period");
    edRight_ = MakeField(this, "EdRechterRand",
                         "Rechter Analyserand##Right border of the analysis interval");
    sbRightPrev_ = MakeButton(this, "SBRechterRandVorher", Qt::NoArrow, QStringLiteral("«"),
                              "Bisheriger rechter Rand##Previous right border");
    sbRightCur_ =
        MakeButton(this, "SBRechterRandAktuell", Qt::NoArrow, QStringLiteral("t"),
                   "Rechter Rand auf aktuelle Periode##Right border to the current period");

    auto* rail = new QFrame(this);
    rail->setObjectName(QStringLiteral("Schiene"));
    rail->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    rail_ = rail;
    slider_ = new QWidget(rail_);
    slider_->setObjectName(QStringLiteral("Schieber"));
    sbBack_ = MakeButton(slider_, "SBPeriodeZurueck", Qt::LeftArrow, {},
                         "Vorherige Periode##Previous period");
    edPeriod_ = MakeField(slider_, "EdPeriode", "Aktuelle Periode##Current period");
    sbForward_ =
        MakeButton(slider_, "SBPeriodeVor", Qt::RightArrow, {}, "Nächste Periode##Next period");
    slider_->setFixedSize(2 * SliderButtonWidth + PeriodFieldWidth, RowHeight);
    sbBack_->setGeometry(0, 0, SliderButtonWidth, RowHeight);
    edPeriod_->setGeometry(SliderButtonWidth, 0, PeriodFieldWidth, RowHeight);
    sbForward_->setGeometry(SliderButtonWidth + PeriodFieldWidth, 0, SliderButtonWidth, RowHeight);

    mark_ = new QFrame(this);
    mark_->setObjectName(QStringLiteral("PolicyMark"));
    mark_->setFrameStyle(QFrame::Box | QFrame::Plain);
    mark_->hide();

    for (QLineEdit* ed : {edLeft_, edPeriod_, edRight_}) {
        ed->installEventFilter(this);
        connect(ed, &QLineEdit::textEdited, this, [this, ed] { SetRed(ed, true); });
    }
    rail_->installEventFilter(this);

    connect(sbBack_, &QToolButton::clicked, this,
            [this] { rules_.CurrentStep(-1, StepSize::One); });
    connect(sbForward_, &QToolButton::clicked, this,
            [this] { rules_.CurrentStep(+1, StepSize::One); });
    connect(sbLeftPrev_, &QToolButton::clicked, this, [this] { rules_.LeftEdgePrevious(); });
    connect(sbLeftCur_, &QToolButton::clicked, this, [this] { rules_.LeftEdgeToCurrent(); });
    connect(sbRightPrev_, &QToolButton::clicked, this, [this] { rules_.RightEdgePrevious(); });
    connect(sbRightCur_, &QToolButton::clicked, this, [this] { rules_.RightEdgeToCurrent(); });

    rules_.OnPeriodChanged = [this](int kind) { PeriodChanged(kind); };
    rules_.OnModelChanged = [this] { emit modelChanged(); };
    rules_.OnEdgesShown = [this] { ShowEdges(); };
    rules_.OnFormChanged = [this](bool revolving) {
        SetRevolving(revolving);
        emit analysisFormChanged(revolving);
    };

    LayoutChildren();
    SetRevolving(rules_.Revolving());
    ShowPeriods();
}

PeriodNavigator::~PeriodNavigator() {
    rules_.OnPeriodChanged = nullptr;
    rules_.OnModelChanged = nullptr;
    rules_.OnEdgesShown = nullptr;
    rules_.OnFormChanged = nullptr;
}

void PeriodNavigator::LayoutChildren() {
    const int w = width();
    edLeft_->setGeometry(0, RowTop, EdgeFieldWidth, RowHeight);
    sbLeftPrev_->setGeometry(EdgeFieldWidth, RowTop, ModuleButtonWidth, RowHeight);
    sbLeftCur_->setGeometry(EdgeFieldWidth + ModuleButtonWidth, RowTop, ModuleButtonWidth,
                            RowHeight);
    const int rightX = w - ModuleWidth;
    sbRightCur_->setGeometry(rightX, RowTop, ModuleButtonWidth, RowHeight);
    sbRightPrev_->setGeometry(rightX + ModuleButtonWidth, RowTop, ModuleButtonWidth, RowHeight);
    edRight_->setGeometry(rightX + 2 * ModuleButtonWidth, RowTop, EdgeFieldWidth, RowHeight);
    rail_->setGeometry(ModuleWidth, 1, std::max(0, w - 2 * ModuleWidth), NavigatorHeight - 4);
    PlaceSlider();
    emit railGeometryChanged(RailLeft(), RailWidth(), SliderWidth());
}

void PeriodNavigator::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutChildren();
}

int PeriodNavigator::RailLeft() const {
    return rail_->x();
}
int PeriodNavigator::RailWidth() const {
    return rail_->width();
}
int PeriodNavigator::SliderWidth() const {
    return slider_->width();
}
int PeriodNavigator::SliderLeft() const {
    return slider_->x();
}

void PeriodNavigator::PlaceSlider() {
    const PeriodState& ps = rules_.model().Periods;
    const int pos = AnalysisInterval::SliderPosition(ps.CurrentPeriod, ps.LeftEdge, ps.RightEdge,
                                                     RailWidth(), SliderWidth());
    slider_->move(pos, (rail_->height() - slider_->height()) / 2);
    mark_->setGeometry(RailLeft() + pos + SliderButtonWidth + PeriodFieldWidth / 2 - 3,
                       NavigatorHeight - 3, 6, 3);
}

void PeriodNavigator::PeriodChanged(int kind) {
    rules_.ClampCurrent();
    ShowPeriods();
    emit periodChanged(kind);
}

void PeriodNavigator::ShowPeriods() {
    const PeriodState& ps = rules_.model().Periods;
    sbBack_->setEnabled(ps.CurrentPeriod != ps.LeftEdge);
    sbForward_->setEnabled(ps.CurrentPeriod != ps.RightEdge);
    PlaceSlider();
    edPeriod_->setText(QString::number(ps.CurrentPeriod));
    SetRed(edPeriod_, false);
    ShowEdges();
}

void PeriodNavigator::ShowEdges() {
    const PeriodState& ps = rules_.model().Periods;
    edLeft_->setText(QString::number(ps.LeftEdge));
    edRight_->setText(QString::number(ps.RightEdge));
    SetRed(edLeft_, false);
    SetRed(edRight_, false);
}

void PeriodNavigator::SetRevolving(bool revolving) {
    for (QWidget* w : {static_cast<QWidget*>(edLeft_), static_cast<QWidget*>(sbLeftPrev_),
                       static_cast<QWidget*>(sbLeftCur_)})
        w->setEnabled(!revolving);
}

void PeriodNavigator::SetPolicyMarkVisible(bool visible) {
    mark_->setVisible(visible);
}

void PeriodNavigator::FocusCurrentPeriod() {
    edPeriod_->setFocus();
    edPeriod_->selectAll();
}
void PeriodNavigator::FocusLeftEdge() {
    edLeft_->setFocus();
    edLeft_->selectAll();
}
void PeriodNavigator::FocusRightEdge() {
    edRight_->setFocus();
    edRight_->selectAll();
}

void PeriodNavigator::SetRed(QLineEdit* ed, bool red) {
    ed->setProperty("red", red);
    QPalette p = ed->palette();
    p.setColor(QPalette::Text, red ? Qt::red : Qt::black);
    ed->setPalette(p);
}

bool PeriodNavigator::IsRed(QLineEdit* ed) const {
    return ed->property("red").toBool();
}

void PeriodNavigator::SetLanguage(int language) {
    for (QWidget* w : findChildren<QWidget*>()) {
        const QByteArray tip = w->property("bilingualTip").toByteArray();
        if (!tip.isEmpty())
            w->setToolTip(QString::fromStdString(Translate(tip.toStdString(), language)));
    }
}

bool PeriodNavigator::eventFilter(QObject* watched, QEvent* event) {
    if (watched == rail_ && event->type() == QEvent::MouseButtonPress) {
        RailClick(static_cast<QMouseEvent*>(event));
        return true;
    }
    const bool field = watched == edLeft_ || watched == edRight_ || watched == edPeriod_;
    if (field && event->type() == QEvent::ShortcutOverride) {
        // Ctrl+Home and Ctrl+End belong to the main window's Perioden menu, not to the
        // line edit's cursor movement, and Ctrl+X, Ctrl+V and Ctrl+E to the Modellbau menu,
        // not to cut, paste and end of line: leave the override unaccepted.
        auto* e = static_cast<QKeyEvent*>(event);
        const int key = e->key();
        if ((e->modifiers() & Qt::ControlModifier) &&
            (key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_X || key == Qt::Key_V ||
             key == Qt::Key_E))
            return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* e = static_cast<QKeyEvent*>(event);
        if (e->modifiers() & Qt::ControlModifier &&
            (e->key() == Qt::Key_Home || e->key() == Qt::Key_End))
            return false;
        if (watched == edLeft_) return LeftKey(e);
        if (watched == edRight_) return RightKey(e);
        if (watched == edPeriod_) return PeriodKey(e);
    }
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == edLeft_) {
            rules_.LeftEdgeToZero();
            return true;
        }
        if (watched == edRight_) {
            rules_.RightEdgeToLastDefined();
            return true;
        }
    }
    if (watched == edPeriod_) return PeriodMouse(event);
    return QWidget::eventFilter(watched, event);
}

bool PeriodNavigator::LeftKey(QKeyEvent* e) {
    const int key = e->key();
    if (IsEnter(key)) {
        rules_.EnterLeftEdge(edLeft_->text().toStdString());
        ShowEdges();
        return true;
    }
    if (key == Qt::Key_Escape) {
        ShowEdges();
        return true;
    }
    const bool arrow =
        key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down || key == Qt::Key_Left;
    if (arrow) {
        if (!IsRed(edLeft_))
            rules_.LeftEdgeStep(key == Qt::Key_Up || key == Qt::Key_Right ? 1 : -1);
        return true;
    }
    if (key == Qt::Key_End) {
        rules_.LeftEdgeToCurrent();
        return true;
    }
    return false;
}

bool PeriodNavigator::RightKey(QKeyEvent* e) {
    const int key = e->key();
    if (IsEnter(key)) {
        rules_.EnterRightEdge(edRight_->text().toStdString());
        ShowEdges();
        return true;
    }
    if (key == Qt::Key_Escape) {
        ShowEdges();
        return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Right) {
        if (!IsRed(edRight_)) rules_.RightEdgeUp();
        return true;
    }
    if (key == Qt::Key_Down || key == Qt::Key_Left) {
        if (!IsRed(edRight_)) rules_.RightEdgeDown();
        return true;
    }
    if (key == Qt::Key_Home) {
        rules_.RightEdgeToCurrent();
        return true;
    }
    return false;
}

bool PeriodNavigator::PeriodKey(QKeyEvent* e) {
    const int key = e->key();
    if (IsEnter(key)) {
        if (!rules_.EnterCurrentPeriod(edPeriod_->text().toStdString())) edPeriod_->setFocus();
        return true;
    }
    if (key == Qt::Key_Escape) {
        ShowPeriods();
        return true;
    }
    if (key == Qt::Key_End) {
        rules_.CurrentToRightEdge();
        return true;
    }
    const bool up = key == Qt::Key_Up || key == Qt::Key_Right;
    const bool down = key == Qt::Key_Down || key == Qt::Key_Left;
    if (IsRed(edPeriod_)) return up || down || key == Qt::Key_Home;
    if (up || down) {
        rules_.CurrentKeyStep(up ? 1 : -1, SizeOf(e->modifiers()));
        return true;
    }
    if (key == Qt::Key_Home) {
        rules_.CurrentToLeftEdge();
        return true;
    }
    return false;
}

bool PeriodNavigator::PeriodMouse(QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return false;
    auto* e = static_cast<QMouseEvent*>(event);
    const int railX = edPeriod_->mapTo(rail_, e->position().toPoint()).x();
    if (type == QEvent::MouseButtonPress) {
        if (e->button() != Qt::LeftButton) return false;
        pressed_ = true;
        dragging_ = false;
        pressX_ = railX;
        pressSlider_ = slider_->x();
        return false;
    }
    if (type == QEvent::MouseMove) {
        if (!pressed_) return false;
        const int dx = railX - pressX_;
        if (!dragging_ && std::abs(dx) < QApplication::startDragDistance()) return false;
        dragging_ = true;
        const int span = RailWidth() - SliderWidth();
        const int left = std::max(1, std::min(pressSlider_ + dx, span - 1));
        slider_->move(left, slider_->y());
        const PeriodState& ps = rules_.model().Periods;
        dragPeriod_ = AnalysisInterval::PeriodAtSlider(left, ps.LeftEdge, ps.RightEdge, RailWidth(),
                                                       SliderWidth());
        edPeriod_->setText(QString::number(dragPeriod_));
        return true;
    }
    pressed_ = false;
    if (!dragging_) return false;
    dragging_ = false;
    rules_.SetCurrentPeriod(dragPeriod_);
    return true;
}

void PeriodNavigator::RailClick(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const int x = e->position().toPoint().x();
    if (x < slider_->x())
        rules_.CurrentStep(-1, SizeOf(e->modifiers()));
    else if (x >= slider_->x() + slider_->width())
        rules_.CurrentStep(+1, SizeOf(e->modifiers()));
}

} // namespace tv
