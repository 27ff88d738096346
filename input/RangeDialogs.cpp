#include "input/RangeDialogs.h"

#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/TotalInput.h"
#include "windows/NumberSpinBox.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace tv {

ParameterRangeDialog::ParameterRangeDialog(Model& m, UserHost& host, Mode mode, QWidget* parent)
    : QDialog(parent), m_(m), host_(host), mode_(mode) {
    const bool copy = mode == Copy;
    setObjectName(copy ? QStringLiteral("TKopierenDlg") : QStringLiteral("TLoeschenDlg"));
    setWindowTitle(Tr(copy ? "&Kopieren##&Copy" : "&Löschen##&Clear").remove(QLatin1Char('&')));

    auto* layout = new QVBoxLayout(this);
    auto* what = new QGroupBox(
        Tr(copy ? "Was kopieren?##Variable selection" : "Was löschen?##Variable selection"));
    auto* lists = new QGridLayout(what);
    auto* sourceLabel =
        new QLabel(Tr(copy ? "&Nicht kopieren##Do &not copy" : "&Nicht löschen##Do &not clear"));
    auto* targetLabel = new QLabel(Tr(copy ? "&Kopieren##&Copy" : "&Löschen##&Clear"));
    SourceList = new QListWidget;
    TargetList = new QListWidget;
    for (QListWidget* l : {SourceList, TargetList}) {
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
        l->setMinimumSize(300, 220);
        l->installEventFilter(this);
    }
    sourceLabel->setBuddy(SourceList);
    targetLabel->setBuddy(TargetList);
    IncludeButton = new QPushButton(QStringLiteral(">"));
    IncludeAllButton = new QPushButton(QStringLiteral(">>"));
    ExcludeButton = new QPushButton(QStringLiteral("<"));
    ExcludeAllButton = new QPushButton(QStringLiteral("<<"));
    auto* moves = new QVBoxLayout;
    moves->addStretch();
    for (QPushButton* b : {IncludeButton, IncludeAllButton, ExcludeButton, ExcludeAllButton}) {
        b->setFixedWidth(40);
        moves->addWidget(b);
    }
    moves->addStretch();
    lists->addWidget(sourceLabel, 0, 0);
    lists->addWidget(targetLabel, 0, 2);
    lists->addWidget(SourceList, 1, 0);
    lists->addLayout(moves, 1, 1);
    lists->addWidget(TargetList, 1, 2);
    layout->addWidget(what);

    auto* ranges = new QHBoxLayout;
    if (copy) {
        auto* source = new QGroupBox(Tr("Woher kopieren?##Source"));
        auto* sl = new QVBoxLayout(source);
        sl->addWidget(PeriodRow(SourcePeriod, "a&us Periode##&Period", false));
        sl->addStretch();
        ranges->addWidget(source);
    }
    auto* target = new QGroupBox(
        Tr(copy ? "Wohin kopieren?##Destination" : "Welchen Bereich löschen?##Clearing range"));
    auto* tl = new QVBoxLayout(target);
    tl->addWidget(
        PeriodRow(FromPeriod, copy ? "na&ch Periode##P&eriod" : "&von Periode##&Period", true));
    tl->addWidget(PeriodRow(ToPeriod, "&bis##&to", true));
    ranges->addWidget(target, 1);
    layout->addLayout(ranges);

    auto* buttons = new QHBoxLayout;
    OkButton = new QPushButton(QStringLiteral("OK"));
    OkButton->setDefault(true);
    CancelButton = new QPushButton(Tr("A&bbruch##&Cancel"));
    HelpButton = new QPushButton(Tr("&Hilfe##&Help"));
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(HelpButton);
    layout->addLayout(buttons);

    m_.UpdateActiveParams();
    const bool creation = m_.Sw(18) == 1;
    for (int n = 1; n <= ParCount; ++n) {
        if (!m_.ActiveParams[n]) continue;
        auto* item = new QListWidgetItem(
            QString::fromStdString(Translate(ParamName(n, creation), m_.Language)), SourceList);
        item->setData(Qt::UserRole, n);
    }
    // Both lists take the longest name in either language without a horizontal scroll bar.
    int widest = 0;
    for (int i = 0; i < SourceList->count(); ++i)
        widest = std::max(widest,
                          SourceList->fontMetrics().horizontalAdvance(SourceList->item(i)->text()));
    for (QListWidget* l : {SourceList, TargetList})
        l->setMinimumWidth(std::max(300, widest + 2 * l->frameWidth() +
                                             l->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                                             16));

    connect(IncludeButton, &QPushButton::clicked, this, [this] { Include(false); });
    connect(IncludeAllButton, &QPushButton::clicked, this, [this] { Include(true); });
    connect(ExcludeButton, &QPushButton::clicked, this, [this] { Exclude(false); });
    connect(ExcludeAllButton, &QPushButton::clicked, this, [this] { Exclude(true); });
    connect(SourceList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        SourceList->clearSelection();
        item->setSelected(true);
        Include(false);
    });
    connect(TargetList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        TargetList->clearSelection();
        item->setSelected(true);
        Exclude(false);
    });
    connect(OkButton, &QPushButton::clicked, this, &ParameterRangeDialog::Confirm);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    UpdateButtons();
}

QString ParameterRangeDialog::Tr(const char* text) const {
    return QString::fromStdString(Translate(text, m_.Language));
}

QWidget* ParameterRangeDialog::PeriodRow(QSpinBox*& box, const char* label, bool rightEdge) {
    const PeriodState& ps = m_.Periods;
    auto* row = new QWidget;
    auto* l = new QHBoxLayout(row);
    l->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(Tr(label));
    box = new NumberSpinBox;
    // Clamped into the interval when left; there is no sign to type below period 0.
    box->setRange(ps.LeftEdge, ps.RightEdge);
    box->setValue(ps.CurrentPeriod);
    box->setMinimumWidth(70);
    caption->setBuddy(box);
    l->addWidget(caption);
    l->addStretch();
    l->addWidget(box);
    QSpinBox* target = box;
    const auto button = [&](const char* text, const char* hint, auto period) {
        auto* b = new QPushButton(QString::fromUtf8(text));
        b->setFixedWidth(32);
        b->setToolTip(Tr(hint).replace(QLatin1String("| "), QLatin1String("\n")).trimmed());
        connect(b, &QPushButton::clicked, this, [target, period] { target->setValue(period()); });
        l->addWidget(b);
    };
    button("|◀",
           "Linker Intervallrand| Setzt den Wert auf den linken Rand des Analyseintervalls##Left "
           "border| Sets the value to the left border of the analysis interval",
           [this] { return m_.Periods.LeftEdge; });
    button("•",
           "Aktuelle Periode|  Setzt den Wert auf die aktuelle Periode##Current period| Sets the "
           "value to the current period",
           [this] { return m_.Periods.CurrentPeriod; });
    if (rightEdge)
        button(
            "▶|",
            "Rechter Intervallrand| Setzt den Wert auf den rechten Rand des "
            "Analyseintervalls##Right border| Sets the value to the right border of the analysis "
            "interval",
            [this] { return m_.Periods.RightEdge; });
    return row;
}

std::vector<int> ParameterRangeDialog::Chosen() const {
    std::vector<int> params;
    for (int i = 0; i < TargetList->count(); ++i)
        params.push_back(TargetList->item(i)->data(Qt::UserRole).toInt());
    std::sort(params.begin(), params.end());
    return params;
}

void ParameterRangeDialog::Choose(const std::vector<int>& params) {
    SourceList->clearSelection();
    for (int i = 0; i < SourceList->count(); ++i) {
        QListWidgetItem* item = SourceList->item(i);
        const int n = item->data(Qt::UserRole).toInt();
        item->setSelected(std::find(params.begin(), params.end(), n) != params.end());
    }
    Include(false);
}

void ParameterRangeDialog::Move(QListWidget* from, QListWidget* to, bool all) {
    int position = -1;
    for (int i = from->count() - 1; i >= 0; --i) {
        QListWidgetItem* item = from->item(i);
        if (!all && !item->isSelected()) continue;
        position = i;
        from->takeItem(i);
        // Keep number order in the receiving list.
        const int n = item->data(Qt::UserRole).toInt();
        int at = 0;
        while (at < to->count() && to->item(at)->data(Qt::UserRole).toInt() < n)
            ++at;
        to->insertItem(at, item);
        item->setSelected(false);
    }
    // The selection stays at the same position, or at the last entry.
    if (position >= 0 && from->count() > 0) {
        from->clearSelection();
        from->setCurrentRow(std::min(position, from->count() - 1));
    }
    UpdateButtons();
}

void ParameterRangeDialog::Include(bool all) {
    Move(SourceList, TargetList, all);
}

void ParameterRangeDialog::Exclude(bool all) {
    Move(TargetList, SourceList, all);
}

void ParameterRangeDialog::UpdateButtons() {
    IncludeButton->setEnabled(SourceList->count() > 0);
    IncludeAllButton->setEnabled(SourceList->count() > 0);
    ExcludeButton->setEnabled(TargetList->count() > 0);
    ExcludeAllButton->setEnabled(TargetList->count() > 0);
}

void ParameterRangeDialog::Confirm() {
    // A period typed but not yet left counts, clamped like a left field.
    for (QSpinBox* box : {SourcePeriod, FromPeriod, ToPeriod})
        if (box) box->interpretText();
    const std::vector<int> params = Chosen();
    const RangeResult r =
        mode_ == Copy
            ? CopyParameterValues(m_, host_, params, SourcePeriod->value(), FromPeriod->value(),
                                  ToPeriod->value())
            : ResetParameterValues(m_, host_, params, FromPeriod->value(), ToPeriod->value());
    if (r == RangeResult::Done)
        accept();
    else if (r == RangeResult::Cancelled)
        reject();
}

bool ParameterRangeDialog::eventFilter(QObject* o, QEvent* e) {
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        const bool shift = k->modifiers() & Qt::ShiftModifier;
        if (o == SourceList && k->key() == Qt::Key_Right) {
            Include(shift);
            return true;
        }
        if (o == TargetList && k->key() == Qt::Key_Left) {
            Exclude(shift);
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

} // namespace tv
