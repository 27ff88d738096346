#pragma once

#include "core/AccountScheme.h"
#include "windows/WorkingWindow.h"

#include <QLabel>
#include <QWidget>

#include <functional>
#include <vector>

class QTextEdit;
class QToolButton;

namespace tv {

// A label that reports a left click.
class SchemeLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;
  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* e) override;
};

// Where an entry was drawn, for the cross-highlighting by mouse click.
struct SchemeHit {
    QRect rect;
    int tag = 0;
    bool counter = false;
};

// The account panels of the scheme, painted; clicks on tagged entries and the navigation
// keys are passed to the window.
class SchemeCanvas : public QWidget {
    Q_OBJECT
  public:
    SchemeCanvas(const AccountScheme& scheme, QWidget* parent = nullptr);
    int language = 1;
    int selectedTag = 0;
    bool selectedCounter = false;
    std::function<void(int tag, bool counter)> onEntryClicked;
    std::function<bool(int key)> onKey;
    // Lays the panels out for the current width and fixes the height they need.
    void Relayout();
    const std::vector<SchemeHit>& Hits() const { return hits_; }

  protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    const AccountScheme& scheme_;
    std::vector<SchemeHit> hits_;
};

// "Sektorales Kontenschema": the bookings of the current period step by step in the sector
// accounts and the market order books, with an explanation of each booking.
class AccountSchemeWindow : public WorkingWindow {
    Q_OBJECT
  public:
    static constexpr const char* Caption = "Sektorales Kontenschema##Sectoral Account Scheme";

    explicit AccountSchemeWindow(WindowFrame& frame);

    long Message(int msg, long wParam, long lParam) override;
    void PaintTo(const PaintTarget& target) override;
    void RefreshLanguage() override;

    // The four buttons (Home, Left, Right, End): bookings, or phases in phase mode.
    void GoFirst();
    void GoBack();
    void GoNext();
    void GoLast();
    // Phase mode needs more than one phase; both switches redraw the initial state.
    void SetPhaseMode(bool on);
    bool PhaseMode() const { return phaseMode_; }
    // Selects the entries with a booking tag in every panel and the first matching line of
    // the information panel; tag 0 clears the selection.
    void SelectTag(int tag, bool counter);
    // A click on a line of the information panel selects by the line's tag.
    void SelectByInfoLine(const QString& line);

    const AccountScheme& Scheme() const { return scheme_; }
    // Prints every account with all its entries and every explanation, over as many pages
    // as they need.
    void Print();

    QToolButton* FirstButton = nullptr;
    QToolButton* BackButton = nullptr;
    QToolButton* NextButton = nullptr;
    QToolButton* LastButton = nullptr;
    SchemeLabel* TransactionLabel = nullptr;
    SchemeLabel* PhaseLabel = nullptr;
    SchemeCanvas* Canvas = nullptr;
    QTextEdit* Info = nullptr;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool HandleKey(int key);
    void Reload(bool firstPhase);
    void Show();
    void UpdateButtons();
    void UpdateHints();
    void FillInfo();
    void HighlightInfo();

    AccountScheme scheme_;
    bool phaseMode_ = false;
};

} // namespace tv
