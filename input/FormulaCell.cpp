#include "input/FormulaCell.h"

#include "windows/FormulaPainter.h"
#include "windows/FormulaText.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>

namespace tv {

namespace {

class CellMetrics : public FormulaMetrics {
  public:
    explicit CellMetrics(QPainter& p) : fm_(p.font(), p.device()) {
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

  private:
    QFontMetrics fm_;
    int points_ = 8;
};

} // namespace

void DrawFormulaCell(QPainter& painter, const QRect& rect, const QString& highlight,
                     const QString& text, int language) {
    if (text.isEmpty()) return;
    painter.save();
    QFont font = painter.font();
    const int margin = 2;
    const int room = rect.width() - 2 * margin;
    if (font.bold() && FormulaTextWidth(painter, text, language) > room) {
        font.setBold(false); // a heading too wide for bold letters tries normal ones first
        painter.setFont(font);
    }
    for (int size = font.pointSize(); size > 4 && FormulaTextWidth(painter, text, language) > room;
         --size) {
        font.setPointSize(size - 1);
        painter.setFont(font);
    }
    if (FormulaTextWidth(painter, text, language) > room) {
        painter.drawText(rect, Qt::AlignCenter, QStringLiteral("<<|>>"));
        painter.restore();
        return;
    }
    // Too low a cell: the text starts at the top instead of being centred vertically.
    const int height = QFontMetrics(font, painter.device()).height();
    QRect r = rect;
    if (r.height() < height) r.setHeight(height);
    if (!highlight.isEmpty()) {
        CellMetrics metrics(painter);
        const auto runs =
            LayoutFormulaText(metrics, {r.left(), r.top(), r.width(), r.height()}, 0,
                              highlight.toStdString(), text.toStdString(), true, language);
        for (const FormulaRun& run : runs)
            if (run.Highlight)
                painter.fillRect(QRect(run.X - 1, run.Y, metrics.Width(run.Text) + 2, height),
                                 QColor(0, 0, 128));
    }
    DrawFormulaText(painter, r, 0, highlight, text, true, language);
    painter.restore();
}

} // namespace tv
