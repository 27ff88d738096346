#include "views/GraphOptionsDialog.h"

#include "core/Catalogue.h"
#include "core/UserHost.h"
#include "views/QtGraphCanvas.h"
#include "windows/NumberSpinBox.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tv {

GraphOptionsDialog::GraphOptionsDialog(const GraphStyle& style, int language, UserHost& host,
                                       QWidget* parent)
    : QDialog(parent), style_(style), language_(language), host_(host) {
    setObjectName(QStringLiteral("OptionenGrafikDlg"));
    setWindowTitle(T("Grafikdarstellung##Diagram settings"));
    colourProvider = [this](const QColor& current) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(current, this);
        if (!c.isValid()) return std::nullopt;
        return c;
    };

    Items = new QListWidget;
    for (int i = 0; i < 4; ++i)
        Items->addItem(T(GraphItemName(i)));
    Items->setMinimumWidth(Items->sizeHintForColumn(0) + 24);

    ColourPanel = new QFrame;
    ColourPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ColourPanel->setMinimumSize(60, 40);
    ColourPanel->setAutoFillBackground(true);
    ChangeColourButton = new QPushButton(T("&Farbe ändern##Change co&lor"));

    WidthGroup = new QGroupBox(T("Linienstärke##Line Width"));
    ThinButton = new QRadioButton(T("dünn##thin"));
    ThickButton = new QRadioButton(T("dick##thick"));
    auto* widths = new QVBoxLayout(WidthGroup);
    widths->addWidget(ThinButton);
    widths->addWidget(ThickButton);

    auto* side = new QVBoxLayout;
    side->addWidget(ColourPanel);
    side->addWidget(ChangeColourButton);
    side->addWidget(WidthGroup);
    side->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(Items, 1);
    top->addLayout(side);

    TextSizeBox = new NumberSpinBox;
    TextSizeBox->setRange(MinTextSize, MaxTextSize);
    TextSizeBox->setValue(std::clamp(style_.TextSize, MinTextSize, MaxTextSize));
    TextSizeBox->setSuffix(QStringLiteral(" pt"));
    auto* textLabel = new QLabel(T("&Schriftgröße der Grafiken:##Diagram &text size:"));
    textLabel->setBuddy(TextSizeBox);
    auto* textRow = new QHBoxLayout;
    textRow->addWidget(textLabel);
    textRow->addWidget(TextSizeBox);
    textRow->addStretch();
    connect(TextSizeBox, &QSpinBox::valueChanged, this, [this](int v) { style_.TextSize = v; });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(T("Abbrechen##Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(textRow);
    layout->addWidget(buttons);

    connect(Items, &QListWidget::currentRowChanged, this, [this] { ShowItem(); });
    connect(Items, &QListWidget::itemDoubleClicked, ChangeColourButton, &QPushButton::click);
    connect(ChangeColourButton, &QPushButton::clicked, this, [this] {
        const auto chosen = colourProvider(ToQColor(style_.Colours[CurrentItem()]));
        if (chosen) SetColour(FromQColor(*chosen));
    });
    connect(ThinButton, &QRadioButton::clicked, this, [this] { SetWidth(1); });
    connect(ThickButton, &QRadioButton::clicked, this, [this] { SetWidth(2); });
    SelectItem(0);
}

QString GraphOptionsDialog::T(const char* bilingual) const {
    return QString::fromStdString(Translate(bilingual, language_));
}

int GraphOptionsDialog::CurrentItem() const {
    return std::clamp(Items->currentRow(), 0, 3);
}

void GraphOptionsDialog::SelectItem(int item) {
    Items->setCurrentRow(std::clamp(item, 0, 3));
    ShowItem();
}

void GraphOptionsDialog::ShowItem() {
    const int item = CurrentItem();
    QPalette pal = ColourPanel->palette();
    pal.setColor(QPalette::Window, ToQColor(style_.Colours[item]));
    ColourPanel->setPalette(pal);
    const bool curve = item != BackgroundItem;
    WidthGroup->setEnabled(curve);
    ThinButton->setChecked(curve && style_.Widths[item] != 2);
    ThickButton->setChecked(curve && style_.Widths[item] == 2);
}

bool GraphOptionsDialog::SetColour(Colour colour) {
    const int item = CurrentItem();
    const int conflict = ColourConflict(style_, item, colour);
    if (conflict >= 0) {
        host_.PlaySound("SoNicht.wav");
        host_.ShowMessage(ColourConflictTitle(), ColourConflictText(conflict));
        return false;
    }
    style_.Colours[item] = colour & 0xFFFFFF;
    ShowItem();
    return true;
}

void GraphOptionsDialog::SetWidth(int width) {
    const int item = CurrentItem();
    if (item == BackgroundItem) return;
    style_.Widths[item] = width >= 2 ? 2 : 1;
    ShowItem();
}

} // namespace tv
