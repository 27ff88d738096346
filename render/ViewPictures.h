#pragma once

#include <QSize>
#include <QString>

namespace tv {

class WorkingWindow;

enum class PictureFormat { Unknown, Png, Pdf, Svg };

// By the file's extension, without regard to case.
PictureFormat PictureFormatOf(const QString& path);

// Writes a window's picture through its own painting code: PNG as its picture copy at
// `size`, SVG as vectors of the same picture (the caption as the document title), PDF as
// the window prints it on the frame's printer. The file appears whole or not at all; on
// failure `error` says why.
bool WriteWindowPicture(WorkingWindow& window, PictureFormat format, QSize size,
                        const QString& path, QString& error);

// Renames a finished temporary file over `to`, with the permissions a new file gets.
bool MoveIntoPlace(const QString& from, const QString& to);

} // namespace tv
