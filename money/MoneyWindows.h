#pragma once

#include "money/AccountingSystem.h"
#include "money/MoneyWorksheet.h"
#include "windows/WorkingWindow.h"

#include <QDialog>
#include <QGroupBox>

#include <memory>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTableWidget;

namespace tv {

constexpr const char* MoneyWorksheetCaption =
    "Geld- und Kreditschöpfung: Sequenztabelle##Creation of Money and Credit: Worksheet";
constexpr const char* MoneyAccountsCaption =
    "Geld- und Kreditschöpfung: Kontensystem##Creation of Money and Credit: Accounting System";

// The bank shares and names of the accounting system, kept for the run.
MoneyShares& SharedMoneyShares();

class WorksheetStrips;

// The worksheet: the aggregate multiplier process of the current period round by round.
class MoneyWorksheetWindow : public WorkingWindow {
    Q_OBJECT
  public:
    explicit MoneyWorksheetWindow(WindowFrame& frame);

    long Message(int msg, long wParam, long lParam) override;
    void PaintTo(const PaintTarget& target) override;
    void RefreshLanguage() override;

    void Recompute();
    // Shrinks the window to one table row at a time, or restores it.
    void SetRoundByRound(bool on);
    const WorksheetTable& Table() const { return table_; }

    QSpinBox* RoundsBox = nullptr;
    QRadioButton* AbsoluteButton = nullptr;
    QRadioButton* DifferencesButton = nullptr;
    QRadioButton* NominalButton = nullptr;
    QRadioButton* RealButton = nullptr;
    QPushButton* RoundByRoundButton = nullptr;
    QTableWidget* Grid = nullptr;

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void ApplyTexts();
    // The diagram text size for the grid and the balance sheets.
    void ApplyTextSize();
    int DrawTable(QPainter& p, const QRect& body, int first) const;
    void Print();
    int RowHeight() const;
    int HeightForRows(int rows) const;

    WorksheetStrips* strips_ = nullptr;
    QWidget* panel_ = nullptr;
    QLabel* roundsLabel_ = nullptr;
    WorksheetTable table_;
    bool sized_ = false;
    QRect savedGeometry_;
    Qt::WindowStates savedState_ = Qt::WindowNoState;
};

// One balance sheet: assets on the left, liabilities on the right.
class BalanceSheet : public QGroupBox {
    Q_OBJECT
  public:
    explicit BalanceSheet(QWidget* parent = nullptr);
    void SetEntries(const std::vector<ShownEntry>& assets,
                    const std::vector<ShownEntry>& liabilities, const Model& m);
    void SetSideTitles(const QString& assets, const QString& liabilities);
    // A long bank name in the title does not widen the sheet (it shows whole as tool tip).
    QSize minimumSizeHint() const override;
    QTreeWidget* AssetsList = nullptr;
    QTreeWidget* LiabilitiesList = nullptr;

  private:
    QLabel* assetsTitle_ = nullptr;
    QLabel* liabilitiesTitle_ = nullptr;
};

// "Banknamen": the names of the two commercial banks in the accounts and explanations.
class BankNamesDialog : public QDialog {
    Q_OBJECT
  public:
    BankNamesDialog(const MoneyShares& shares, int language, QWidget* parent = nullptr);
    QLineEdit* NameAEdit = nullptr;
    QLineEdit* NameBEdit = nullptr;
};

// The accounting system: the round process booked into the balance sheets of the central
// bank, bank A, bank B and the non-banks, booking by booking.
class MoneyAccountsWindow : public WorkingWindow {
    Q_OBJECT
  public:
    explicit MoneyAccountsWindow(WindowFrame& frame);
    ~MoneyAccountsWindow() override;

    long Message(int msg, long wParam, long lParam) override;
    void PaintTo(const PaintTarget& target) override;
    // Prints the round's heading, every balance sheet with all its entries and the whole
    // explanation, over as many pages as they need.
    void Print();
    void RefreshLanguage() override;

    // The four steps (also reached with Home, Right, Left and End).
    void CycleStart();
    void NextBooking();
    void UndoBooking();
    void CycleEnd();
    // Opens the bank-name dialog; new names redraw the round at the same position.
    void EditBankNames();

    const AccountingProcess& Process() const { return *process_; }

    QSlider* MarketShareSlider = nullptr;
    QSlider* BaseShareSlider = nullptr;
    QLabel* MarketShareLabel = nullptr;
    QLabel* BaseShareLabel = nullptr;
    QLabel* EntryCounter = nullptr;
    QLabel* RoundCounter = nullptr;
    QLabel* RoundHeading = nullptr;
    QPushButton* CycleStartButton = nullptr;
    QPushButton* NextBookingButton = nullptr;
    QPushButton* UndoBookingButton = nullptr;
    QPushButton* CycleEndButton = nullptr;
    QPushButton* BankNamesButton = nullptr;
    BalanceSheet* Sheets[5] = {}; // 1 bank A, 2 bank B, 3 central bank, 4 non-banks
    QPlainTextEdit* Explanation = nullptr;

  private:
    // Builds the process anew from the model; keeps the position when asked to.
    void Rebuild(bool keepPosition);
    void Show();
    void ApplyTexts();
    void ApplyTextSize();

    std::unique_ptr<AccountingProcess> process_;
    QLabel* marketTitle_ = nullptr;
    QLabel* baseTitle_ = nullptr;
};

} // namespace tv
