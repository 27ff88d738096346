#pragma once

#include "logic/Settings.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <algorithm>

namespace tv {

// A font of the settings file as Qt draws it.
inline QFont FontFromSetting(const FontSetting& f) {
    QFont q(QString::fromStdString(f.Name));
    q.setPointSize(std::max(1, f.Size));
    q.setItalic(f.Italic);
    q.setBold(f.Bold);
    q.setUnderline(f.Underline);
    q.setStrikeOut(f.StrikeOut);
    return q;
}

// The settings file keeps colours as 0x00BBGGRR.
inline QColor ColourFromSetting(int bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

} // namespace tv
