#pragma once

#include "views/CoordinateSystem.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QList>
#include <QPen>
#include <QPoint>

class QPainter;

namespace tv {

QColor ToQColor(Colour c);
Colour FromQColor(const QColor& c);

// The coordinate system's drawing target on a QPainter: one code path for the screen, an
// image, a PDF file and the printer.
class QtGraphCanvas : public GraphCanvas {
  public:
    // penScale widens pens on high-resolution targets (the printer), so that a "thick"
    // curve stays thick on paper.
    explicit QtGraphCanvas(QPainter& painter, double penScale = 1.0);
    ~QtGraphCanvas() override;

    void SetFont(const char* family, int pointSize, bool italic) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    void SetPen(Colour colour, int width) override;
    double PenScale() const override { return penScale_; }
    void SetDotted(bool dotted) override;
    void SetDashed(bool dashed) override;
    void SetBrush(Colour colour) override;
    void SetFontColour(Colour colour) override;
    void Line(int x1, int y1, int x2, int y2) override;
    void FillRect(int left, int top, int right, int bottom) override;
    void Text(int x, int y, const std::string& text, HAlign h, VAlign v, bool opaque) override;

    // Draws the lines collected so far (the destructor does it too).
    void Flush();

  private:
    QPainter& p_;
    double penScale_;
    QFont font_;
    QFontMetrics metrics_;
    QPen pen_;
    QColor brush_ = Qt::white;
    QColor fontColour_ = Qt::black;
    // Connected segments of a curve go out as one polyline: far cheaper for thick pens.
    QList<QPoint> polyline_;
    bool dotted_ = false, dashed_ = false;
    void ApplyStyle();
};

} // namespace tv
