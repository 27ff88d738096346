#include "windows/TaskWindow.h"

#include "core/Baseline.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "services/WindowFrame.h"
#include "windows/ExplanationWindow.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

const Direction kChoices[] = {Direction::Rises, Direction::Falls, Direction::Stays};
const Horizon kHorizons[] = {Horizon::Short, Horizon::Long};

// "Y  Einkommen": the symbol, then the catalogue's name without the symbol it ends in.
QString VariableLabel(int n, int language) {
    std::string name = Translate(VarName(n), language);
    if (const size_t open = name.rfind(" ("); open != std::string::npos) name.erase(open);
    return Q(Translate(VarSymbol(n, language), language)) + QStringLiteral("  ") + Q(name);
}

std::string HorizonHeading(const Task& task, Horizon h) {
    return FillIn(h == Horizon::Short ? "kurzfristig (t = %1)##short run (t = %1)"
                                      : "langfristig (t = %1)##long run (t = %1)",
                  {std::to_string(HorizonPeriod(task, h))});
}

QLabel* Bold(const QString& text) {
    auto* l = new QLabel(text);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

} // namespace

TaskWindow::TaskWindow(WindowFrame& frame, Task task)
    : WorkingWindow(frame), task_(std::move(task)),
      predictions_(task_.predict.size() * std::size(kHorizons)) {
    setAttribute(Qt::WA_DeleteOnClose);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus); // the keys go to the buttons
    setWidget(scroll);
    // The sheet comes with RefreshLanguage, which Create calls.
}

std::optional<Direction> TaskWindow::Prediction(size_t k) const {
    return k < predictions_.size() ? predictions_[k] : std::nullopt;
}

void TaskWindow::ShowResults(std::vector<TaskQuestion> questions) {
    questions_ = std::move(questions);
    Build();
}

int TaskWindow::RightCount() const {
    int right = 0;
    for (size_t k = 0; k < questions_.size(); ++k)
        right += questions_[k].answer && questions_[k].answer == Prediction(k);
    return right;
}

void TaskWindow::RefreshLanguage() {
    Build();
}

long TaskWindow::Message(int msg, long wParam, long lParam) {
    if (msg == MSG_NUMBER_FORMAT || msg == MSG_SCREEN_FONT) Build();
    return WorkingWindow::Message(msg, wParam, lParam);
}

void TaskWindow::Build() {
    const int language = frame().model().Language;
    setWindowTitle(Q(
        FillIn(Translate("Aufgabe: %1##Task: %1", language), {Translate(task_.title, language)})));
    Choices.clear();
    WhyButtons.clear();
    SolveButton = nullptr;
    sheet_ = new QWidget;
    auto* column = new QVBoxLayout(sheet_);
    QLabel* title = Bold(Q(Translate(task_.title, language)));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    title->setFont(big);
    column->addWidget(title);
    auto* text = new QLabel(Q(Translate(task_.text, language)));
    text->setWordWrap(true);
    column->addWidget(text);
    column->addSpacing(8);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    column->addLayout(grid);
    if (questions_.empty())
        BuildTaskSheet(grid);
    else
        BuildResultSheet(grid);
    column->addStretch();
    static_cast<QScrollArea*>(widget())->setWidget(sheet_);
    // A new sheet gets room for all of it, as far as the frame allows.
    if (sheetShown_ != !questions_.empty()) {
        sheetShown_ = !questions_.empty();
        QSize size = sheet_->sizeHint() + QSize(40, 60);
        QWidget* area = parentWidget();
        if (area) size = size.boundedTo(area->size());
        resize(size.expandedTo(QSize(480, 240)));
        if (area)
            move(std::max(0, std::min(x(), area->width() - width())),
                 std::max(0, std::min(y(), area->height() - height())));
    }
    // The keyboard starts at the first thing to choose or to ask.
    QWidget* first = !WhyButtons.empty() ? WhyButtons.front()
                     : !Choices.empty()  ? Choices.front().front()
                                         : static_cast<QWidget*>(SolveButton);
    setFocusProxy(first);
    if (first && isVisible()) first->setFocus();
}

void TaskWindow::BuildTaskSheet(QGridLayout* grid) {
    const int language = frame().model().Language;
    grid->addWidget(Bold(Q(Translate("Variable##Variable", language))), 0, 0);
    for (int h = 0; h < 2; ++h)
        grid->addWidget(Bold(Q(Translate(HorizonHeading(task_, kHorizons[h]), language))), 0,
                        1 + h);
    for (size_t v = 0; v < task_.predict.size(); ++v) {
        grid->addWidget(new QLabel(VariableLabel(task_.predict[v], language)),
                        static_cast<int>(v) + 1, 0);
        for (int h = 0; h < 2; ++h) {
            const size_t k = v * 2 + h;
            // Each trio has a parent of its own: one choice per question, arrows move in it.
            auto* trio = new QWidget;
            auto* row = new QHBoxLayout(trio);
            row->setContentsMargins(0, 0, 0, 0);
            row->setSpacing(2);
            std::vector<QAbstractButton*> buttons;
            for (Direction d : kChoices) {
                auto* b = new QPushButton(Q(Translate(DirectionText(d), language)));
                b->setCheckable(true);
                b->setAutoExclusive(true);
                b->setChecked(predictions_[k] == d);
                b->setAccessibleName(VariableLabel(task_.predict[v], language) +
                                     QStringLiteral(", ") +
                                     Q(Translate(HorizonHeading(task_, kHorizons[h]), language)));
                connect(b, &QPushButton::toggled, this, [this, k, d](bool on) {
                    if (on) predictions_[k] = d;
                });
                row->addWidget(b);
                buttons.push_back(b);
            }
            Choices.push_back(buttons);
            grid->addWidget(trio, static_cast<int>(v) + 1, 1 + h);
        }
    }
    SolveButton = new QPushButton(Q(Translate("Lö&sen##Sol&ve", language)));
    SolveButton->setAutoDefault(true);
    connect(SolveButton, &QPushButton::clicked, this, [this] {
        if (OnSolve) OnSolve();
    });
    const int below = static_cast<int>(task_.predict.size()) + 1;
    grid->addWidget(SolveButton, below, 2, Qt::AlignRight);
}

void TaskWindow::BuildResultSheet(QGridLayout* grid) {
    const Model& m = frame().model();
    const int language = m.Language;
    int c = 0;
    for (const char* heading : {"Variable##Variable", "Periode##Period",
                                "Ihre Vorhersage##Your prediction", "Änderung##Change", ""})
        grid->addWidget(Bold(Q(Translate(heading, language))), 0, c++);
    for (size_t k = 0; k < questions_.size(); ++k) {
        const TaskQuestion& q = questions_[k];
        const int row = static_cast<int>(k) + 1;
        grid->addWidget(new QLabel(VariableLabel(q.variable, language)), row, 0);
        grid->addWidget(new QLabel(Q(Translate(HorizonHeading(task_, q.horizon), language))), row,
                        1);
        const std::optional<Direction> said = Prediction(k);
        grid->addWidget(
            new QLabel(Q(Translate(said ? DirectionText(*said) : "keine##none", language))), row,
            2);
        QString change = Q(Translate("nicht gelöst##not solved", language));
        if (q.answer) {
            change = (q.change > 0 ? QStringLiteral("+") : QString()) + Q(m.FormatNumber(q.change));
            const double percent = DeviationPercent(q.value, q.baseline);
            if (std::isfinite(percent))
                change += QStringLiteral(" (%1%2 %)")
                              .arg(percent > 0 ? QStringLiteral("+") : QString())
                              .arg(percent, 0, 'f', 2);
            change += QStringLiteral(": ") + Q(Translate(DirectionText(*q.answer), language));
        }
        auto* changeLabel = new QLabel(change);
        changeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(changeLabel, row, 3);
        const bool right = q.answer && q.answer == said;
        QLabel* verdict = Bold(Q(Translate(right ? "richtig##right" : "falsch##wrong", language)));
        verdict->setStyleSheet(right ? QStringLiteral("color: #007000")
                                     : QStringLiteral("color: #c00000"));
        grid->addWidget(verdict, row, 4);
        auto* why = new QPushButton(Q(Translate("Warum?##Why?", language)));
        why->setEnabled(q.answer.has_value());
        why->setAccessibleName(VariableLabel(q.variable, language));
        connect(why, &QPushButton::clicked, this,
                [this, n = q.variable, t = q.period] { OpenDrivers(frame(), n, t); });
        grid->addWidget(why, row, 5);
        WhyButtons.push_back(why);
    }
    const int below = static_cast<int>(questions_.size()) + 1;
    grid->addWidget(
        Bold(Q(FillIn(
            Translate("%1 von %2 Vorhersagen richtig.##%1 of %2 predictions right.", language),
            {std::to_string(RightCount()), std::to_string(questions_.size())}))),
        below, 0, 1, 4);
}

} // namespace tv
