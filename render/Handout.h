#pragma once

#include <QString>
#include <QStringList>

namespace tv {

class Model;
class WindowFrame;

// The lecture handout of the frame's solved model as one PDF: a title page (model file, date,
// analysis interval, the switches in words), the equation system and the results of the left
// and the right edge, the sequence table of the key variables over the whole interval, and
// the income-expenditure, IS-LM and AS-AD diagrams of the right edge with the left edge as
// reference, each page with the printed header and footer. A frozen baseline of the frame is
// drawn dashed and adds its deviation columns to the table. The file appears whole or not at
// all; false with `error` otherwise. `pageTitles` receives each page's title in order.
bool WriteHandout(WindowFrame& frame, const QString& modelFile, const QString& path, QString& error,
                  QStringList* pageTitles = nullptr);

// The model's switches in words, one line each, in the given language (1 German, 2 English).
QStringList SwitchesInWords(const Model& m, int language);

} // namespace tv
