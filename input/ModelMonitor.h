#pragma once

#include "core/MonitorText.h"

#include <QWidget>

#include <array>
#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace tv {

class Model;

// The model monitor: a small tool window above the main window that sums up the
// period-independent configuration (what is exogenous or endogenous, and the lengths of the
// wage and monetary periods). Its buttons open the input dialog page where each is set.
class ModelMonitor : public QWidget {
    Q_OBJECT
  public:
    ModelMonitor(Model& m, QWidget* parent = nullptr);

    // The working-window messages the monitor answers: MSG_MODEL_CHANGED refreshes the
    // labels and bars, MSG_MONITOR_RELABEL sets every caption in the current language.
    void Message(int msg, long wParam, long lParam);
    void Relabel();
    void RefreshValues();

    // Opens input dialog `dialog` (1..5) at `page`.
    std::function<void(int dialog, int page)> openDialog;
    std::function<void(int topic)> showHelp;

    QTabWidget* Tabs = nullptr;
    std::array<QPushButton*, 5> Buttons{}; // interest rate .. exchange rate
    std::array<QLabel*, 5> Labels{};
    QLabel* Explanation = nullptr;
    QGroupBox* TimeGroup = nullptr;
    QLabel* PanelNormPeriode = nullptr;
    QLabel* PanelTZR = nullptr;
    QLabel* PanelMZZR = nullptr;
    // The texts of the three bars, above them: the bars themselves are as long as the
    // periods they stand for.
    std::array<QLabel*, 3> BarLabels{};
    QPushButton* CloseButton = nullptr;
    QPushButton* HelpButton = nullptr;

    static constexpr int BarLeft = 8;

  signals:
    void closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    void PlaceBars();
    QString Tr(const char* text) const;

    Model& m_;
    bool placed_ = false;
};

} // namespace tv
