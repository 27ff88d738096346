#pragma once

#include <string>

namespace tv {

// A text with every "%1" replaced by value: numbers and names go into both halves of a
// bilingual text before it is translated, so that each half stays one sentence.
inline std::string FillIn(std::string text, const std::string& value) {
    for (size_t pos = 0; (pos = text.find("%1", pos)) != std::string::npos; pos += value.size())
        text.replace(pos, 2, value);
    return text;
}

} // namespace tv
