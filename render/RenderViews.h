#pragma once

// The views the batch tool renders without a window: each opened as its menu command opens
// it, on a frame of its own, and written through the window's own painting code.

#include "logic/Settings.h"
#include "services/WindowFrame.h"

#include <QFont>
#include <QSize>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QMdiArea;
class QPrinter;

namespace tv {

class WorkingWindow;

// The names --render takes, in menu order.
const std::vector<std::string>& RenderViewNames();
bool IsRenderView(const std::string& name);

// A main window without a window: the solved model, the settings file's options (kept, never
// written back), and one period both base-window pairs show.
class RenderFrame : public WindowFrame {
  public:
    RenderFrame(Model& m, UserHost& host, Settings settings, QString modelBaseName,
                const Baseline* baseline, int period);
    ~RenderFrame() override;

    Model& model() override { return m_; }
    UserHost& host() override { return host_; }
    QMdiArea* mdiArea() override { return area_.get(); }
    QRect baseArea() const override;
    QPrinter& printer() override { return *printer_; }
    QFont printerFont() const override { return printerFont_; }
    QFont screenFont() const override { return screenFont_; }
    QString modelBaseName() const override { return modelBaseName_; }
    int assignedPeriod(int) const override { return period_; }
    const Settings* userSettings() const override { return &settings_; }
    WindowSettings* windowSettings() override { return &settings_.Windows; }
    const Baseline* baseline() const override { return baseline_; }

    // Opens a view as the program's menu command opens it (its default options, the account
    // scheme after its last booking, both construction points of a derivation); nothing for
    // an unknown name. The window belongs to the frame.
    WorkingWindow* Open(const std::string& name);
    // Why the program offers no such view for this model (its menu entry is disabled or
    // refuses), or nothing.
    std::string Unavailable(const std::string& name) const;

  private:
    Model& m_;
    UserHost& host_;
    Settings settings_;
    QString modelBaseName_;
    const Baseline* baseline_;
    int period_;
    QFont printerFont_, screenFont_;
    std::unique_ptr<QMdiArea> area_;
    std::unique_ptr<QPrinter> printer_;
};

// The picture size a view gets without --size: its default window size, twice over.
QSize DefaultRenderSize(const WorkingWindow& window);

} // namespace tv
