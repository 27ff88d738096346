#include "views/PositionForm.h"

#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace tv {

PositionForm::PositionForm(QWidget* owner) : QWidget(owner, Qt::Tool) {
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(6, 6, 6, 6);
    setMinimumWidth(260);
}

void PositionForm::Show(const PositionReadout& r) {
    setWindowTitle(QString::fromStdString(r.Caption));
    bool same = groups_.size() == r.Groups.size();
    for (size_t g = 0; same && g < r.Groups.size(); ++g)
        same = lines_[g].size() == r.Groups[g].Lines.size();
    if (!same) {
        for (QGroupBox* box : groups_)
            delete box;
        groups_.clear();
        lines_.clear();
        for (const ReadoutGroup& group : r.Groups) {
            auto* box = new QGroupBox(this);
            auto* column = new QVBoxLayout(box);
            column->setSpacing(1);
            std::vector<QLabel*> labels;
            for (size_t k = 0; k < group.Lines.size(); ++k) {
                labels.push_back(new QLabel(box));
                column->addWidget(labels.back());
            }
            layout_->addWidget(box);
            // A layout shows a late child only after the next event round.
            box->show();
            groups_.push_back(box);
            lines_.push_back(std::move(labels));
        }
    }
    for (size_t g = 0; g < r.Groups.size(); ++g) {
        groups_[g]->setTitle(QString::fromStdString(r.Groups[g].Title));
        for (size_t k = 0; k < r.Groups[g].Lines.size(); ++k)
            lines_[g][k]->setText(QString::fromStdString(r.Groups[g].Lines[k]));
    }
}

QStringList PositionForm::Texts() const {
    QStringList out;
    for (size_t g = 0; g < groups_.size(); ++g) {
        out << groups_[g]->title();
        for (const QLabel* l : lines_[g])
            out << l->text();
    }
    return out;
}

} // namespace tv
