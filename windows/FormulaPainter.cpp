#include "windows/FormulaPainter.h"

#include "windows/FormulaText.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace tv {

namespace {

class PainterMetrics : public FormulaMetrics {
  public:
    explicit PainterMetrics(QPainter& p)
        : fm_(p.font(), p.device()),
          printer_(p.device() && p.device()->devType() == QInternal::Printer) {
        const QFont& f = p.font();
        points_ = f.pointSizeF() > 0 ? static_cast<int>(std::lround(f.pointSizeF()))
                                     : static_cast<int>(std::lround(f.pixelSize() * 0.75));
    }
    int Width(std::string_view text) const override {
        return fm_.horizontalAdvance(
            QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }
    int Height(std::string_view) const override { return fm_.height(); }
    int PointSize() const override { return points_; }
    bool Printer() const override { return printer_; }
    int Ascent() const { return fm_.ascent(); }

  private:
    QFontMetrics fm_;
    bool printer_;
    int points_ = 8;
};

} // namespace

void DrawFormulaText(QPainter& painter, const QRect& rect, int xOffset, const QString& highlight,
                     const QString& text, bool centred, int language) {
    if (text.isEmpty()) return;
    PainterMetrics metrics(painter);
    const auto runs =
        LayoutFormulaText(metrics, {rect.left(), rect.top(), rect.width(), rect.height()}, xOffset,
                          highlight.toStdString(), text.toStdString(), centred, language);
    const QPen pen = painter.pen();
    QPen yellow = pen;
    yellow.setColor(QColor(255, 255, 0));
    for (const FormulaRun& run : runs) {
        painter.setPen(run.Highlight ? yellow : pen);
        painter.drawText(QPoint(run.X, run.Y + metrics.Ascent()), QString::fromStdString(run.Text));
    }
    painter.setPen(pen);
}

int FormulaTextWidth(QPainter& painter, const QString& text, int language) {
    std::string s =
        StripMarkup(language == 2 ? EnglishFormula(text.toStdString()) : text.toStdString());
    QString shown = QString::fromStdString(s);
    shown.replace(QLatin1Char('*'), QChar(0x2022));
    return QFontMetrics(painter.font(), painter.device()).horizontalAdvance(shown);
}

} // namespace tv
