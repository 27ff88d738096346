#pragma once

#include "views/PositionReadouts.h"

#include <QWidget>

#include <vector>

class QGroupBox;
class QLabel;
class QVBoxLayout;

namespace tv {

// The small tool window that shows a diagram's read-out for the point under the mouse.
class PositionForm : public QWidget {
    Q_OBJECT
  public:
    explicit PositionForm(QWidget* owner);
    // Shows the read-out; the group boxes are rebuilt only when its shape changes.
    void Show(const PositionReadout& r);
    // The texts shown, group titles and lines in order (for tests and screenshots).
    QStringList Texts() const;

  private:
    QVBoxLayout* layout_;
    std::vector<QGroupBox*> groups_;
    std::vector<std::vector<QLabel*>> lines_;
};

} // namespace tv
