#include "windows/BaseArrangement.h"

#include "core/Catalogue.h"
#include "windows/WindowMessages.h"

#include <cmath>
#include <string_view>

namespace tv {

namespace {

// Halves to the even neighbour, as the arrangement has always rounded.
int RoundEven(double x) {
    return static_cast<int>(std::nearbyint(x));
}

struct Caption {
    BaseWindowRole which;
    const char* bilingual;
};
constexpr Caption Captions[] = {
    {BaseWindowRole::Equations1, "Gleichungssystem 1##Equation System 1"},
    {BaseWindowRole::Equations2, "Gleichungssystem 2##Equation System 2"},
    {BaseWindowRole::Results1, "Modellergebnisse 1##Model Results 1"},
    {BaseWindowRole::Results2, "Modellergebnisse 2##Model Results 2"},
};

} // namespace

WindowRect BaseArrangement(BaseWindowRole which, int L, int T, int R, int B, int percent) {
    const int W = R - L, H = B - T;
    const int hw = RoundEven(W / 2.0);
    const int hh = RoundEven(static_cast<double>(H) * percent / 200.0);
    switch (which) {
    case BaseWindowRole::Equations1:
        return {L, T, hw - 2, hh - 2};
    case BaseWindowRole::Results1:
        return {L, hh - 2, hw - 2, H - hh - 2};
    case BaseWindowRole::Equations2:
        return {hw - 2, T, W - hw - 2, hh - 2};
    case BaseWindowRole::Results2:
        return {hw - 2, hh - 2, W - hw - 2, H - hh - 2};
    case BaseWindowRole::None:
        break;
    }
    return {};
}

BaseWindowRole BaseWindowFromCaption(const char* caption) {
    const std::string_view c(caption);
    for (const Caption& k : Captions) {
        const std::string_view b(k.bilingual);
        const size_t sep = b.find("##");
        if (c == b.substr(0, sep) || c == b.substr(sep + 2)) return k.which;
    }
    return BaseWindowRole::None;
}

const char* BaseWindowCaption(BaseWindowRole which) {
    for (const Caption& k : Captions)
        if (k.which == which) return k.bilingual;
    return "";
}

int BaseWindowPair(BaseWindowRole which) {
    switch (which) {
    case BaseWindowRole::Equations1:
    case BaseWindowRole::Results1:
        return 1;
    case BaseWindowRole::Equations2:
    case BaseWindowRole::Results2:
        return 2;
    case BaseWindowRole::None:
        break;
    }
    return 0;
}

const char* MessageName(int msg) {
    switch (msg) {
    case MSG_COPY_PICTURE:
        return "MSG_COPY_PICTURE";
    case MSG_ZOOM:
        return "MSG_ZOOM";
    case MSG_MINIMIZE:
        return "MSG_MINIMIZE";
    case MSG_PERIOD_MOVED_EQ:
        return "MSG_PERIOD_MOVED_EQ";
    case MSG_PERIOD_MOVED:
        return "MSG_PERIOD_MOVED";
    case MSG_MODEL_CHANGED_EQ:
        return "MSG_MODEL_CHANGED_EQ";
    case MSG_MODEL_CHANGED:
        return "MSG_MODEL_CHANGED";
    case MSG_ARRANGE_BASE:
        return "MSG_ARRANGE_BASE";
    case MSG_TOGGLE_TREE:
        return "MSG_TOGGLE_TREE";
    case MSG_RESULT_LAYOUT:
        return "MSG_RESULT_LAYOUT";
    case MSG_SOLVE_INFO:
        return "MSG_SOLVE_INFO";
    case MSG_NUMBER_FORMAT:
        return "MSG_NUMBER_FORMAT";
    case MSG_SCREEN_FONT:
        return "MSG_SCREEN_FONT";
    case MSG_GRAPH_OPTIONS:
        return "MSG_GRAPH_OPTIONS";
    case MSG_PRINT:
        return "MSG_PRINT";
    case MSG_ASSIGN_EQ:
        return "MSG_ASSIGN_EQ";
    case MSG_ASSIGN_RES:
        return "MSG_ASSIGN_RES";
    case MSG_NFX_MONITOR:
        return "MSG_NFX_MONITOR";
    case MSG_NFX_PERIOD:
        return "MSG_NFX_PERIOD";
    case MSG_MONITOR_RELABEL:
        return "MSG_MONITOR_RELABEL";
    case MSG_BASELINE_CHANGED:
        return "MSG_BASELINE_CHANGED";
    default:
        return "WM_USER+n";
    }
}

std::string BaseWindowHint(std::string_view bilingual, int language) {
    std::string s = Translate(bilingual, language);
    const auto bar = s.find('|');
    if (bar != std::string::npos) s = s.substr(bar + 1);
    while (!s.empty() && s.front() == ' ')
        s.erase(s.begin());
    return s + Translate(" (Extraktion/Kontraktion mit (UMSCH)+ENTER)## (expand/collapse with "
                         "SHIFT+ENTER)",
                         language);
}

} // namespace tv
