#pragma once

#include <QRect>
#include <QString>

class QPainter;

namespace tv {

// Draws one formula text the way the input grids show their cells: centred in `rect`, the
// font shrunk a point at a time (down to 4 points) until the text fits, "<<|>>" when it never
// does. Occurrences of `highlight` are drawn in yellow on a dark backing so that they stand
// out on any cell colour. The painter's font is the starting font.
void DrawFormulaCell(QPainter& painter, const QRect& rect, const QString& highlight,
                     const QString& text, int language);

} // namespace tv
