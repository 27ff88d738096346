#pragma once

#include <string>
#include <string_view>

namespace tv {

// Which of the four base windows a window is (decided by its caption).
enum class BaseWindowRole { None, Equations1, Equations2, Results1, Results2 };

struct WindowRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const WindowRect&) const = default;
};

// Tiled arrangement of the base windows: the equation windows share the upper
// p/200 of the free client height, the result windows the rest. L, T, R are the client
// rectangle's left, top and right, B the free client height.
WindowRect BaseArrangement(BaseWindowRole which, int L, int T, int R, int B, int percent);

// The base window a caption names, in either language; None for any other caption.
BaseWindowRole BaseWindowFromCaption(const char* caption);

// The bilingual run-time captions.
const char* BaseWindowCaption(BaseWindowRole which);

// Pair 1 (left edge or current period) or 2 (current period or right edge); 0 for None.
int BaseWindowPair(BaseWindowRole which);

// The status hint of a base window in the language: the bilingual text after its "|" (or
// after its leading blank) and the note on Shift+Enter.
std::string BaseWindowHint(std::string_view bilingual, int language);

} // namespace tv
