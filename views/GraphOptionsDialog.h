#pragma once

#include "views/GraphStyle.h"

#include <QColor>
#include <QDialog>

#include <functional>
#include <optional>

class QFrame;
class QGroupBox;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tv {

class UserHost;

// "Grafikdarstellung": colours of the three curve kinds and the background, pen widths of
// the curves. Edits a copy; the caller takes Style() over only when the dialog is accepted.
class GraphOptionsDialog : public QDialog {
    Q_OBJECT
  public:
    GraphOptionsDialog(const GraphStyle& style, int language, UserHost& host,
                       QWidget* parent = nullptr);

    const GraphStyle& Style() const { return style_; }
    int CurrentItem() const;
    void SelectItem(int item);
    // Gives the selected item a colour, unless a curve would vanish in the background:
    // then says so and keeps the colour. True when taken.
    bool SetColour(Colour colour);
    void SetWidth(int width);

    // Asks for a colour; replaceable so that tests need no colour dialog.
    std::function<std::optional<QColor>(const QColor& current)> colourProvider;

    QListWidget* Items = nullptr;
    QFrame* ColourPanel = nullptr;
    QPushButton* ChangeColourButton = nullptr;
    QGroupBox* WidthGroup = nullptr;
    QRadioButton* ThinButton = nullptr;
    QRadioButton* ThickButton = nullptr;
    // Point size of the diagrams' texts.
    QSpinBox* TextSizeBox = nullptr;

  private:
    void ShowItem();
    QString T(const char* bilingual) const;

    GraphStyle style_;
    int language_;
    UserHost& host_;
};

} // namespace tv
