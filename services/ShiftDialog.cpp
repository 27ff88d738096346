#include "services/ShiftDialog.h"

#include "core/Catalogue.h"
#include "core/Model.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace tv {

ShiftDialog::ShiftDialog(const ShiftOffer& offer, int language, QWidget* parent)
    : QDialog(parent), helpContext_(offer.helpContext) {
    auto tr = [language](const std::string& bilingual) {
        return QString::fromStdString(Translate(bilingual, language));
    };
    setProperty("helpContext", helpContext_); // F1 opens the help of this dialog
    setObjectName(QStringLiteral("IntervallVerschiebenDialog"));
    setWindowTitle(tr(offer.caption));
    auto* layout = new QVBoxLayout(this);
    if (!offer.revolving) {
        layout->addWidget(new QLabel(tr(offer.fromText), this));
        track_ = new QSlider(Qt::Horizontal, this);
        track_->setObjectName(QStringLiteral("TBBisPeriode"));
        track_->setRange(offer.trackMin, offer.trackMax);
        track_->setValue(offer.trackStart);
        endLabel_ =
            new QLabel(QString::fromStdString(ShiftEndText(track_->value(), language)), this);
        connect(track_, &QSlider::valueChanged, this, [this, language](int v) {
            endLabel_->setText(QString::fromStdString(ShiftEndText(v, language)));
        });
        layout->addWidget(track_);
        layout->addWidget(endLabel_);
    } else {
        layout->addWidget(new QLabel(tr(offer.countText), this));
        layout->addWidget(new QLabel(tr(offer.totalText), this));
    }
    auto* box = new QGroupBox(this);
    auto* boxLayout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(this);
    const char* texts[3] = {
        "bereits vorhandene Daten beibehalten##keep the data already there",
        "Daten vom bisherigen rechten Rand fortschreiben##continue the data of the previous right "
        "border",
        "neues Analyseintervall initialisieren##initialise the new analysis interval"};
    for (int i = 0; i < 3; ++i) {
        choices_[i] = new QRadioButton(tr(texts[i]), box);
        group->addButton(choices_[i], i + 1);
        boxLayout->addWidget(choices_[i]);
    }
    const int choice = offer.choice >= 1 && offer.choice <= 3 ? offer.choice : 1;
    choices_[choice - 1]->setChecked(true);
    layout->addWidget(box);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

int ShiftDialog::TrackPosition() const {
    return track_ ? track_->value() : 0;
}

int ShiftDialog::Choice() const {
    for (int i = 0; i < 3; ++i)
        if (choices_[i]->isChecked()) return i + 1;
    return 1;
}

bool ShiftIntervalInteractive(AnalysisInterval& rules, QWidget* parent) {
    const auto offer = rules.PrepareShift();
    if (!offer) return false;
    ShiftDialog dialog(*offer, rules.model().Language, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    rules.ApplyShift(dialog.TrackPosition(), dialog.Choice());
    return true;
}

} // namespace tv
