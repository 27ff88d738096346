#include "core/PeriodRun.h"

#include "core/Catalogue.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tv {

void PeriodRun::SetDelay(int tenths) {
    delay_ = std::clamp(tenths, 0, 100);
}

void PeriodRun::SetJumpWidth(int periods) {
    jump_ = std::clamp(periods, 1, 100);
}

int PeriodRun::NextPeriod(int current, int right) const {
    // Compared in long long so that no edge near the int range wraps.
    const long long next = static_cast<long long>(current) + jump_;
    return next > right ? -1 : static_cast<int>(next);
}

std::string PeriodRun::DelayCaption(int language, char decimalSeparator) const {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", delay_ / 10.0);
    std::replace(seconds, seconds + std::strlen(seconds), '.', decimalSeparator);
    return Translate("Verzögerung##Delay", language) + " = " + seconds + "s";
}

std::string PeriodRun::JumpCaption(int language) const {
    return Translate("Sprungweite##Steps", language) + " = " + std::to_string(jump_) + " Per.";
}

} // namespace tv
