#include "views/QtGraphCanvas.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tv {

QColor ToQColor(Colour c) {
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

Colour FromQColor(const QColor& c) {
    return Colour(c.red()) | (Colour(c.green()) << 8) | (Colour(c.blue()) << 16);
}

QtGraphCanvas::QtGraphCanvas(QPainter& painter, double penScale)
    : p_(painter), penScale_(std::max(penScale, 1.0)), font_(painter.font()),
      metrics_(font_, painter.device()) {
    p_.setRenderHint(QPainter::Antialiasing, false);
    SetPen(Black, 1);
}

QtGraphCanvas::~QtGraphCanvas() {
    Flush();
}

void QtGraphCanvas::Flush() {
    if (polyline_.size() >= 2) p_.drawPolyline(polyline_.constData(), int(polyline_.size()));
    polyline_.clear();
}

void QtGraphCanvas::SetFont(const char* family, int pointSize, bool italic) {
    font_ = QFont(QString::fromLatin1(family), pointSize);
    font_.setItalic(italic);
    p_.setFont(font_);
    metrics_ = QFontMetrics(font_, p_.device());
}

int QtGraphCanvas::TextWidth(const std::string& text) {
    return metrics_.horizontalAdvance(QString::fromStdString(text));
}

int QtGraphCanvas::TextHeight(const std::string&) {
    return metrics_.height();
}

void QtGraphCanvas::SetPen(Colour colour, int width) {
    const int w = width <= 1 && penScale_ == 1.0 ? 0 : int(std::lround(width * penScale_));
    Flush();
    pen_ = QPen(ToQColor(colour), w, Qt::SolidLine, w > 1 ? Qt::RoundCap : Qt::SquareCap,
                Qt::RoundJoin);
    p_.setPen(pen_);
}

void QtGraphCanvas::SetDotted(bool dotted) {
    dotted_ = dotted;
    ApplyStyle();
}

void QtGraphCanvas::SetDashed(bool dashed) {
    dashed_ = dashed;
    ApplyStyle();
}

void QtGraphCanvas::ApplyStyle() {
    const Qt::PenStyle style = dashed_ && dotted_ ? Qt::DashDotLine
                               : dashed_          ? Qt::DashLine
                               : dotted_          ? Qt::DotLine
                                                  : Qt::SolidLine;
    if (pen_.style() == style) return;
    Flush();
    pen_.setStyle(style);
    p_.setPen(pen_);
}

void QtGraphCanvas::SetBrush(Colour colour) {
    brush_ = ToQColor(colour);
}

void QtGraphCanvas::SetFontColour(Colour colour) {
    fontColour_ = ToQColor(colour);
}

void QtGraphCanvas::Line(int x1, int y1, int x2, int y2) {
    if (polyline_.isEmpty() || polyline_.back() != QPoint(x1, y1)) {
        Flush();
        polyline_.append(QPoint(x1, y1));
    }
    polyline_.append(QPoint(x2, y2));
}

void QtGraphCanvas::FillRect(int left, int top, int right, int bottom) {
    Flush();
    p_.fillRect(QRect(QPoint(left, top), QPoint(right, bottom)).normalized(), brush_);
}

void QtGraphCanvas::Text(int x, int y, const std::string& text, HAlign h, VAlign v, bool opaque) {
    Flush();
    const QString s = QString::fromStdString(text);
    const int w = metrics_.horizontalAdvance(s), height = metrics_.height();
    const int left = h == HAlign::Left ? x : h == HAlign::Centre ? x - w / 2 : x - w;
    const int top = v == VAlign::Top ? y : y - height;
    if (opaque) p_.fillRect(QRect(left, top, w, height), brush_);
    p_.setPen(fontColour_);
    p_.drawText(left, top + metrics_.ascent(), s);
    p_.setPen(pen_);
}

} // namespace tv
