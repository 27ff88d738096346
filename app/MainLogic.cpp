#include "app/MainLogic.h"
#include "core/Catalogue.h"

#include "core/Catalogue.h"
#include "core/Model.h"

#include <algorithm>

namespace tv {

std::string ExitQuestion(bool modelUnsaved, bool rulesUnsaved, int language) {
    if (modelUnsaved || rulesUnsaved) {
        const char* what = modelUnsaved && rulesUnsaved ? "Daten und Regeln##data and rules"
                           : modelUnsaved               ? "Daten##data"
                                                        : "Regeln##rules";
        return Translate("Aktuelle ##Current ", language) + Translate(what, language) +
               Translate(" noch nicht gesichert.\nTERVALIS trotzdem beenden?## have not yet been "
                         "saved.\nStill exit TERVALIS?",
                         language);
    }
    return Translate("TERVALIS wirklich beenden?##Really exit TERVALIS?", language);
}

std::string SolvedStatus(const Model& m) {
    const std::string last = std::to_string(m.Periods.LastSolved);
    if (m.EquilibriumInexact && m.SolveAborted)
        return FillIn("GG-Lösung ungenau und Lösungsabbruch nach t = %1##Equilibrium inexact and "
                      "solution stopped after t = %1",
                      last);
    if (m.EquilibriumInexact) return "GG-Lösung ungenau##Equilibrium inexact";
    if (m.SolveAborted)
        return FillIn("Lösungsabbruch nach t = %1##Solution stopped after t = %1", last);
    if (m.Periods.LastSolved >= m.Periods.RightEdge) return "Ok";
    return FillIn("Lösung bis t = %1##Solved up to t = %1", last);
}

std::string BaseButtonLabel(int pair, bool followsCurrent, int language) {
    const std::string prefix = language == 2 ? "BW" : "BF";
    if (pair == 1) return prefix + (followsCurrent ? "1= t" : "1= tL");
    return prefix + (followsCurrent ? "2 = t" : "2 = tR");
}

HalfScreenRect HalfScreen(int step, int W, int H) {
    switch (step % 4) {
    case 0:
        return {0, 0, W / 2 - 2, H - 4};
    case 1:
        return {W / 2 - 2, 0, W / 2 - 2, H - 4};
    case 2:
        return {0, 0, W - 4, H / 2 - 2};
    default:
        return {0, H / 2 - 2, W - 4, H / 2 - 2};
    }
}

StripScroll StripReset(int visibleWidth, int range) {
    return {0, false, visibleWidth < range};
}

StripScroll StripScrollRight(int offset, int visibleWidth, int range) {
    StripScroll s;
    const int remaining = range + offset - visibleWidth; // what lies beyond the right edge
    if (remaining <= 16) {
        s.offset = std::min(offset, visibleWidth - range);
        s.rightArrow = false;
    } else {
        s.offset = offset - 16;
        s.rightArrow = true;
    }
    s.leftArrow = s.offset < 0;
    return s;
}

StripScroll StripScrollLeft(int offset, int /*visibleWidth*/, int /*range*/) {
    StripScroll s;
    if (offset >= -16) {
        s.offset = 0;
        s.leftArrow = false;
    } else {
        s.offset = offset + 16;
        s.leftArrow = true;
    }
    s.rightArrow = true;
    return s;
}

int NumberFormatBits(int oldInteger, int newInteger, int oldDecimals, int newDecimals) {
    return (oldInteger != newInteger ? 1 : 0) | (oldDecimals != newDecimals ? 2 : 0);
}

std::string ModelBaseName(const std::string& path) {
    size_t start = path.find_last_of("/\\");
    start = start == std::string::npos ? 0 : start + 1;
    const std::string name = path.substr(start);
    return name.substr(0, name.find('.'));
}

std::string CommandLineFileName(int argc, const char* const* argv) {
    std::string name;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) name += ' ';
        name += argv[i];
    }
    return name;
}

} // namespace tv
