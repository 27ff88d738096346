#pragma once

#include "core/NumberInput.h"

#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>

#include <climits>
#include <functional>
#include <string>

namespace tv {

// A spin box for whole numbers that reads typed text with the program's one number
// reading: what is typed is kept while typing, also beyond the range ("150" in 1..99); the
// value is clamped to the range when the field is confirmed or left, never cut to other
// digits. Text that is no whole number restores the value, and OnNotANumber says so.
class NumberSpinBox : public QSpinBox {
  public:
    explicit NumberSpinBox(QWidget* parent = nullptr) : QSpinBox(parent) {
        connect(lineEdit(), &QLineEdit::textEdited, this, [this] { unreported_ = true; });
    }

    std::function<void()> OnNotANumber;

  protected:
    QValidator::State validate(QString& text, int&) const override {
        const std::string s = Bare(text);
        if (const auto v = ReadWholeNumber(s, INT_MIN, INT_MAX))
            return *v >= minimum() && *v <= maximum() ? QValidator::Acceptable
                                                      : QValidator::Intermediate;
        return MayBecomeNumber(s) ? QValidator::Intermediate : QValidator::Invalid;
    }

    int valueFromText(const QString& text) const override {
        return ReadWholeNumber(Bare(text), minimum(), maximum()).value_or(value());
    }

    // Called for text that is not acceptable: a number beyond the range becomes its bound;
    // anything else keeps the value, and is said once per edit.
    void fixup(QString& text) const override {
        const std::string s = Bare(text);
        const auto v = ReadWholeNumber(s, minimum(), maximum());
        if (!v && unreported_ && !s.empty() && OnNotANumber) {
            unreported_ = false;
            QTimer::singleShot(0, this, [this] {
                if (OnNotANumber) OnNotANumber();
            });
        }
        text = prefix() + textFromValue(v.value_or(value())) + suffix();
    }

  private:
    std::string Bare(const QString& text) const {
        QString t = text;
        if (!prefix().isEmpty() && t.startsWith(prefix())) t.remove(0, prefix().size());
        if (!suffix().isEmpty() && t.endsWith(suffix())) t.chop(suffix().size());
        return t.trimmed().toStdString();
    }

    mutable bool unreported_ = false;
};

} // namespace tv
