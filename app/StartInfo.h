#pragma once

#include <QDialog>

namespace tv {

// The start-up information window: product, version and a line about the program. At
// program start it closes itself; from the Info command it has a close button instead.
// Language 1 German, 2 English; 0 (at start-up, before the settings are read) both.
class StartInfoWindow : public QDialog {
    Q_OBJECT
  public:
    StartInfoWindow(QWidget* parent, bool atStartup, int language = 0);

  protected:
    // A click puts the start-up window away at once.
    void mousePressEvent(QMouseEvent*) override { close(); }
};

} // namespace tv
