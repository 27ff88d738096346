#pragma once

#include <QSpinBox>

#include <algorithm>

namespace tv {

// A spin box for a period or a number of periods. Digits are taken as typed, also beyond
// the range ("500" with the right edge at 100); the value is clamped into the range when
// the field is left or confirmed, never cut while typing. Signs are not typed at all.
class PeriodSpinBox : public QSpinBox {
  public:
    using QSpinBox::QSpinBox;

  protected:
    QValidator::State validate(QString& text, int& pos) const override {
        const QString t = text.trimmed();
        if (t.isEmpty()) return QValidator::Intermediate;
        for (QChar c : t)
            if (!c.isDigit()) return QValidator::Invalid;
        if (t.size() > 9) return QValidator::Invalid; // beyond any period, and beyond int
        const int v = t.toInt();
        if (v >= minimum() && v <= maximum()) return QSpinBox::validate(text, pos);
        return QValidator::Intermediate;
    }

    void fixup(QString& text) const override {
        const QString t = text.trimmed();
        bool ok = false;
        const long long v = t.toLongLong(&ok);
        const long long clamped = ok ? std::clamp<long long>(v, minimum(), maximum()) : value();
        text = QString::number(clamped);
    }
};

} // namespace tv
