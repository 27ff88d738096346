#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QMdiArea;
class QPrinter;

namespace tv {

class Baseline;
class Model;
class UserHost;
struct Settings;
struct WindowSettings;

// What a working window needs of the main window. The main window implements it; tests
// implement it with a bare frame.
class WindowFrame {
  public:
    virtual ~WindowFrame() = default;

    virtual Model& model() = 0;
    virtual UserHost& host() = 0;
    // The multiple-document area the child windows live in.
    virtual QMdiArea* mdiArea() = 0;
    // Client rectangle (left, top, right) and free client height used by the base-window
    // arrangement, in the area's coordinates: x = L, y = T, width = R - L, height = B - T.
    virtual QRect baseArea() const = 0;
    // The current printer and the printer font.
    virtual QPrinter& printer() = 0;
    virtual QFont printerFont() const = 0;
    virtual QFont screenFont() const = 0;
    // Base name of the current model file as the status bar shows it.
    virtual QString modelBaseName() const = 0;
    // "TERVALIS 5.1".
    virtual QString programTitle() const { return QStringLiteral("TERVALIS 5.1"); }
    // The period base-window pair 1 or 2 shows (edge or current period).
    virtual int assignedPeriod(int pair) const = 0;
    // The user settings (graph colours among them); none in a bare frame, which means the
    // defaults.
    virtual const Settings* userSettings() const { return nullptr; }
    // The sections windows keep in the settings file; none in a bare frame (nothing is kept).
    virtual WindowSettings* windowSettings() { return nullptr; }
    // True while a solution run uses the model (the scratch store among it): windows must
    // not sample the model then.
    virtual bool solving() const { return false; }
    // True while the period run steps through the interval: windows follow it silently
    // (no message boxes between the steps).
    virtual bool periodRunning() const { return false; }
    // The frozen baseline run, or none. Windows that compare draw and list it beside the
    // model (MSG_BASELINE_CHANGED tells them when it comes or goes).
    virtual const Baseline* baseline() const { return nullptr; }
    // True in the revolving analysis form: periods shifted out of the interval keep their
    // parameters for differences across period 0.
    virtual bool revolvingInterval() const { return false; }
};

} // namespace tv
