#pragma once

// The base of every diagram window. A diagram subclasses GraphWindow, embeds one
// CoordinateSystem per plot, registers it once, and draws in DrawDiagram, which every
// target (screen, black-and-white clipboard copy, printer, PDF) goes through:
//
//   class IncomeExpenditureWindow : public GraphWindow {
//     public:
//       explicit IncomeExpenditureWindow(WindowFrame& f)
//           : GraphWindow(f, "Einkommen-Ausgaben-Grafik##Income-Expenditure Diagram") {
//           AddCoordinateSystem(cs_);
//       }
//     protected:
//       void DrawDiagram(const GraphPaint& g) override {
//           cs_.FixedXMin = 0; cs_.FixedXMax = ...;     // both range sets, from the model
//           cs_.AutoXMin = ...;
//           TakeRange(cs_);                              // honours the user's zoom
//           cs_.XTitle = Tr("Einkommen##Income") + " (Y)#";  // '#' marks the unit
//           cs_.YTitle = ...;
//           if (!BeginFrame(cs_, g)) return;             // axes; false: nothing to draw on
//           UsePen(cs_, CurveKind::Current);
//           cs_.DrawSegment(x1, y1, x2, y2);             // world values, clipped
//       }
//       CoordinateSystem cs_;
//   };
//
// DrawDiagram is never called while a solution run uses the model; the screen keeps its
// last picture meanwhile. Model, period, number-format and graph-option messages redraw;
// override LanguageChanged for texts kept outside DrawDiagram, and Message for further
// messages (passing the rest on to GraphWindow::Message). Open it with
// WorkingWindow::Create<IncomeExpenditureWindow>(frame). Windows with automatic ranges show
// Box()->AutoZoomItem; a position read-out is set as Box()->PositionForm and follows
// Box()'s mouseMoved signal through DeviceToWorldX/Y. Two plots: give each its own
// viewport (BeginFrame's third argument); a zoom band goes to the plot it starts in.

#include "views/CoordinateSystem.h"
#include "views/DiagramData.h"
#include "views/DiagramExport.h"
#include "views/GraphStyle.h"
#include "windows/WorkingWindow.h"

#include <optional>
#include <string>
#include <vector>

class QAction;
class QPushButton;

namespace tv {

class PaintBox;
class QtGraphCanvas;

// The logical grid on the target, in 1/10000 of its width and height.
struct Viewport {
    int OffsetX = 0, OffsetY = 0, FactorX = 10000, FactorY = 10000;
};

// One paint of a diagram: the canvas and the size of the target in device pixels.
struct GraphPaint {
    GraphCanvas& Canvas;
    GraphTarget Target;
    int Width = 0, Height = 0;
    // The whole target on the screen and in copies; a margin on the printed page.
    Viewport Standard() const;
    // The narrower printed grid of the sequence graph and the derivation windows.
    Viewport Narrow() const;
};

class GraphWindow : public WorkingWindow {
    Q_OBJECT
  public:
    // caption: bilingual.
    GraphWindow(WindowFrame& frame, std::string caption);

    long Message(int msg, long wParam, long lParam) override;
    void PaintTo(const PaintTarget& target) final;
    void RefreshLanguage() final;

    PaintBox* Box() const { return box_; }
    GraphStyle Style() const;
    int Language() const;
    // The bilingual text in the current language.
    std::string Tr(const char* bilingual) const;
    // Draws anew.
    void Redraw();
    const std::vector<CoordinateSystem*>& CoordinateSystems() const { return systems_; }

    // The numbers behind the picture: the curves of the last paint. No value: the window
    // has none to give (its context menu then offers none).
    virtual std::optional<DiagramNumbers> Numbers() const { return std::nullopt; }
    // Tab-separated to the clipboard; false when there is nothing to copy.
    bool CopyNumbers();
    // As CSV; a failure is shown and leaves an existing file as it was.
    bool SaveNumbers(const QString& path);
    QAction* CopyDataItem = nullptr;
    QAction* SaveDataItem = nullptr;

    // What each registered plot is framed around (in the order of registration; an empty
    // content leaves that plot as it is); none: the window offers no frame.
    virtual std::vector<FrameContent> FrameContents() { return {}; }
    // Sets each plot's own zoom to the frame around its equilibria (undoing the zoom returns
    // to the default view); false when there is nothing to frame.
    bool FrameEquilibria();
    QAction* FrameItem = nullptr;
    // The same command among a window's options (made by NewFrameButton).
    QPushButton* FrameButton = nullptr;

  protected:
    virtual void DrawDiagram(const GraphPaint& g) = 0;
    virtual void LanguageChanged() {}

    // The options' button that frames the equilibria; the window places it.
    QPushButton* NewFrameButton();
    // Zoom requests reach the registered systems; register each once, in the constructor.
    void AddCoordinateSystem(CoordinateSystem& cs);
    // The data range for this paint: the range set, or the user's zoom band. True when a
    // band has just been applied (the diagram may bound the range then).
    bool TakeRange(CoordinateSystem& cs);
    // Colours, decimal separator and viewport, then the frame. False: nothing to draw on.
    bool BeginFrame(CoordinateSystem& cs, const GraphPaint& g);
    bool BeginFrame(CoordinateSystem& cs, const GraphPaint& g, const Viewport& v);
    // Pen colour and width of a curve kind from the graph options.
    void UsePen(CoordinateSystem& cs, CurveKind kind) const;
    // The "Zoom" tag ends one letter before the right edge, its bottom one line down
    // (the quick graph); otherwise it starts one word before the right edge.
    bool ZoomTagRightAligned = false;

  private:
    void Zoom(long wParam, long lParam);
    void AddDataItems();
    void SaveNumbersAs();

    std::string caption_;
    PaintBox* box_ = nullptr;
    std::vector<CoordinateSystem*> systems_;
    QString dataFolder_; // where data were saved last
};

} // namespace tv
