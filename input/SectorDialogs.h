#pragma once

#include "input/InputDialog.h"

#include <functional>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace tv {

// The sector dialogs: the framework dialog plus, per page, the structural options of the
// sector. Every control writes its switch at once and shows the page again, so the grid
// follows the new structure; PageShown brings every control back in line with the switches.
class SectorDialog : public InputDialog {
    Q_OBJECT
  public:
    SectorDialog(Model& m, UserHost& host, int sector, bool permanentDefault, QWidget* parent);

  protected:
    // Controls bound to switch k; they are refreshed from the switches after every change.
    QCheckBox* AddCheck(QWidget* parent, const char* caption, int k);
    QComboBox* AddCombo(QWidget* parent, std::vector<const char*> items, int k);
    QRadioButton* AddRadio(QWidget* parent, const char* caption, int k, int value,
                           std::function<bool()> writes = {});
    QSpinBox* AddSpin(QWidget* parent, int k, int low, int high);
    void PageShown(int page) override;
    virtual void RefreshPage(int /*page*/) {}
    // Called at the end of a sector dialog's constructor, once its controls exist.
    void Ready();
    // Page 1 of the bond and exchange market: options across the whole width, no formula.
    void UseFullWidth(bool full);

    bool refreshing_ = false; // controls are being set from the switches

  private:
    bool ready_ = false;
    std::vector<std::function<void()>> refreshers_;
};

class DemandDialog : public SectorDialog {
    Q_OBJECT
  public:
    DemandDialog(Model& m, UserHost& host, bool permanentDefault, QWidget* parent = nullptr);
    QCheckBox* Accelerator = nullptr;
    QCheckBox* WithDepreciation = nullptr;

  protected:
    void RefreshPage(int page) override;
};

class SupplyDialog : public SectorDialog {
    Q_OBJECT
  public:
    SupplyDialog(Model& m, UserHost& host, bool permanentDefault, QWidget* parent = nullptr);
    QSpinBox* WagePeriods = nullptr;
    QGroupBox* WagePeriodGroup = nullptr;
    QLabel* WagePeriodLabel = nullptr;

  protected:
    void RefreshPage(int page) override;
};

class DistributionDialog : public SectorDialog {
    Q_OBJECT
  public:
    DistributionDialog(Model& m, UserHost& host, bool permanentDefault, QWidget* parent = nullptr);
    QCheckBox* WageShareEndogenous = nullptr;

  protected:
    void RefreshPage(int page) override;

  private:
    bool wageShareForced_ = false;
};

class BondMarketDialog : public SectorDialog {
    Q_OBJECT
  public:
    BondMarketDialog(Model& m, UserHost& host, bool permanentDefault, QWidget* parent = nullptr);
    QRadioButton* RateExogenous = nullptr;
    QRadioButton* RateClearing = nullptr;
    QRadioButton* BondComplete = nullptr;
    QRadioButton* BondMoneyOnly = nullptr;
    QSpinBox* TargetPeriods = nullptr;
    QLabel* TargetPeriodsLabel = nullptr;

  protected:
    void RefreshPage(int page) override;
};

class ExchangeMarketDialog : public SectorDialog {
    Q_OBJECT
  public:
    ExchangeMarketDialog(Model& m, UserHost& host, bool permanentDefault,
                         QWidget* parent = nullptr);
    QLabel* MarketEquation = nullptr;

  protected:
    void RefreshPage(int page) override;

  private:
    QRadioButton* fixedRate_ = nullptr;
    QRadioButton* flexibleRate_ = nullptr;
};

} // namespace tv
