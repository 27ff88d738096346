#pragma once

#include <QRect>
#include <QString>

class QPainter;

namespace tv {

// Draws a text with equation markup ("~" raised, "§" lowered) into `rect` with the
// painter's font and pen; occurrences of `highlight` are drawn in yellow. Language 2
// shows the English abbreviations.
void DrawFormulaText(QPainter& painter, const QRect& rect, int xOffset, const QString& highlight,
                     const QString& text, bool centred, int language);
// The width the text takes without its markup.
int FormulaTextWidth(QPainter& painter, const QString& text, int language);

} // namespace tv
