#include "exchange/ExportDialog.h"

#include "core/Model.h"
#include "windows/NumberSpinBox.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

namespace tv {

namespace {
// Kind and number travel with the item; the text is only its label.
constexpr int ItemRole = Qt::UserRole;
} // namespace

ExportDialog::ExportDialog(const Model& m, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Export Excel-compatible Worksheet"));
    Source = new QListWidget;
    Destination = new QListWidget;
    // Wide enough for the longest catalogue names without a horizontal scroll bar.
    for (QListWidget* l : {Source, Destination}) {
        l->setMinimumSize(l->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 42,
                          l->fontMetrics().height() * 16);
        l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
    auto addItem = [&](bool parameter, int n) {
        auto* it = new QListWidgetItem(
            QString::fromStdString(ExportItemText({parameter, n}, m.Language, m.Sw(18) == 1)));
        it->setData(ItemRole, parameter ? -n : n);
        Source->addItem(it);
    };
    for (int n = 1; n <= VarCount; ++n)
        addItem(false, n);
    for (int n = 1; n <= ParCount; ++n)
        addItem(true, n);

    add_ = new QPushButton(QStringLiteral(">"));
    remove_ = new QPushButton(QStringLiteral("<"));
    addAll_ = new QPushButton(QStringLiteral(">>"));
    removeAll_ = new QPushButton(QStringLiteral("<<"));
    connect(add_, &QPushButton::clicked, this, [this] { Move(Source, Destination, false); });
    connect(remove_, &QPushButton::clicked, this, [this] { Move(Destination, Source, false); });
    connect(addAll_, &QPushButton::clicked, this, [this] { Move(Source, Destination, true); });
    connect(removeAll_, &QPushButton::clicked, this, [this] { Move(Destination, Source, true); });
    connect(Source, &QListWidget::itemDoubleClicked, this,
            [this] { Move(Source, Destination, false); });
    connect(Destination, &QListWidget::itemDoubleClicked, this,
            [this] { Move(Destination, Source, false); });

    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (auto* b : {add_, remove_, addAll_, removeAll_})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("Do not export")), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("Export")), 0, 2);
    lists->addWidget(Source, 1, 0);
    lists->addLayout(buttons, 1, 1);
    lists->addWidget(Destination, 1, 2);

    auto* firstRow = new QGroupBox(QStringLiteral("First Row"));
    auto* labels = new QRadioButton(QStringLiteral("Symbols and Labels"));
    symbolsOnly_ = new QRadioButton(QStringLiteral("Symbols only"));
    labels->setChecked(true);
    auto* fr = new QVBoxLayout(firstRow);
    fr->addWidget(labels);
    fr->addWidget(symbolsOnly_);

    auto* interval = new QGroupBox(QStringLiteral("Interval"));
    from_ = new NumberSpinBox;
    to_ = new NumberSpinBox;
    for (auto* s : {from_, to_})
        s->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    from_->setValue(0);
    to_->setValue(100);
    auto edge = [&](const char* text, QSpinBox* box, int value) {
        auto* b = new QPushButton(QString::fromLatin1(text));
        connect(b, &QPushButton::clicked, box, [box, value] { box->setValue(value); });
        return b;
    };
    const PeriodState& p = m.Periods;
    auto* il = new QGridLayout(interval);
    il->addWidget(new QLabel(QStringLiteral("from: ")), 0, 0);
    il->addWidget(from_, 0, 1);
    il->addWidget(edge("Left edge", from_, p.LeftEdge), 0, 2);
    il->addWidget(edge("Current period", from_, p.CurrentPeriod), 0, 3);
    il->addWidget(new QLabel(QStringLiteral("to:")), 1, 0);
    il->addWidget(to_, 1, 1);
    il->addWidget(edge("Current period", to_, p.CurrentPeriod), 1, 2);
    il->addWidget(edge("Right edge", to_, p.RightEdge), 1, 3);

    timeIndex_ = new QCheckBox(QStringLiteral("Time Index in First Column"));
    // This dialog's texts are English in both interface languages.
    auto* box = new QDialogButtonBox;
    box->addButton(QStringLiteral("Export"), QDialogButtonBox::AcceptRole);
    box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(firstRow);
    options->addWidget(interval);
    layout->addLayout(options);
    layout->addWidget(timeIndex_);
    layout->addWidget(box);
    UpdateButtons();
}

void ExportDialog::Move(QListWidget* from, QListWidget* to, bool all) {
    int firstRow = -1;
    if (all) {
        firstRow = 0;
        while (from->count() > 0)
            to->addItem(from->takeItem(0));
    } else {
        // From the bottom upward, as the lists always did.
        for (int row = from->count() - 1; row >= 0; --row) {
            if (!from->item(row)->isSelected()) continue;
            to->addItem(from->takeItem(row));
            firstRow = row;
        }
    }
    to->clearSelection();
    if (firstRow >= 0 && from->count() > 0) {
        from->setCurrentRow(std::min(firstRow, from->count() - 1));
    }
    from->setFocus();
    UpdateButtons();
}

void ExportDialog::UpdateButtons() {
    add_->setEnabled(Source->count() > 0);
    addAll_->setEnabled(Source->count() > 0);
    remove_->setEnabled(Destination->count() > 0);
    removeAll_->setEnabled(Destination->count() > 0);
}

ExportChoice ExportDialog::Choice() const {
    ExportChoice c;
    for (int row = 0; row < Destination->count(); ++row) {
        const int key = Destination->item(row)->data(ItemRole).toInt();
        c.items.push_back({key < 0, key < 0 ? -key : key});
    }
    c.symbolsOnly = symbolsOnly_->isChecked();
    c.timeIndex = timeIndex_->isChecked();
    c.from = from_->value();
    c.to = to_->value();
    return c;
}

} // namespace tv
