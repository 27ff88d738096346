#include "logic/AnalysisInterval.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/NumberInput.h"
#include "core/Solver.h"
#include "core/UserHost.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace tv {

namespace {

constexpr int UndefinedMarker = 31; // parameter 31 is 0 in a period no input ever reached

// A period typed into a field: empty is 0; a number too large for an int saturates, so that
// it meets the "too big" rule instead of wrapping; none when the text is no whole number.
std::optional<int> FieldValue(const std::string& text) {
    if (text.empty()) return 0;
    return ReadWholeNumber(text, INT_MIN / 2, INT_MAX / 2);
}

std::string Str(long long v) {
    return std::to_string(v);
}

} // namespace

int Nearest(double x) {
    // std::nearbyint rounds halves to even in the default rounding mode.
    const double r = std::nearbyint(x);
    if (!(r > INT_MIN) || !(r < INT_MAX)) return r > 0 ? INT_MAX : INT_MIN;
    return static_cast<int>(r);
}

std::string ShiftEndText(int trackPosition, int language) {
    return Translate(FillIn("bis Periode %1##up to period %1", Str(trackPosition)), language);
}

AnalysisInterval::AnalysisInterval(Model& m, UserHost& host) : m_(m), host_(host) {}

int AnalysisInterval::LeftEdge() const {
    return m_.Periods.LeftEdge;
}
int AnalysisInterval::RightEdge() const {
    return m_.Periods.RightEdge;
}
int AnalysisInterval::CurrentPeriod() const {
    return m_.Periods.CurrentPeriod;
}

void AnalysisInterval::Refuse(const std::string& text, const std::string& title) {
    host_.PlaySound("SoNicht.wav");
    host_.ShowMessage(title, text);
}

void AnalysisInterval::ClampCurrent() {
    PeriodState& ps = m_.Periods;
    ps.CurrentPeriod = std::clamp(ps.CurrentPeriod, ps.LeftEdge, ps.RightEdge);
}

void AnalysisInterval::PeriodChanged(int kind) {
    ClampCurrent();
    if (OnPeriodChanged) OnPeriodChanged(kind);
}

void AnalysisInterval::ModelChanged() {
    if (OnModelChanged) OnModelChanged();
}

void AnalysisInterval::StatusOkWhenSolved() {
    if (m_.Periods.LastSolved >= m_.Periods.RightEdge) host_.SetStatus("Ok");
}

void AnalysisInterval::SetInterval(int newLeft, int newRight, bool withMessages) {
    PeriodState& ps = m_.Periods;
    auto refuse = [&](const std::string& text,
                      const std::string& title = "So nicht!##Not possible!") {
        if (withMessages) Refuse(text, title);
    };

    if (newLeft != ps.LeftEdge) {
        if (newLeft < 0) newLeft = ps.LeftEdge;
        if (newLeft >= newRight) {
            refuse(FillIn("Gewünschter linker Analyserand (%1)\r\nist nicht kleiner als der "
                          "rechte.\r\nNächstmöglicher Wert wird gesetzt.##Requested left border "
                          "(%1)\r\nis not smaller than the right one.\r\nThe nearest possible "
                          "value is set.",
                          Str(newLeft)));
            newLeft = newRight - 1;
        }
        if (newLeft > std::max(0, ps.LastSolved + 1)) {
            refuse(FillIn("Gewünschter linker Analyserand (%1)\r\nliegt im Bereich ungelöster "
                          "Perioden.\r\nLinker Rand wird nicht verändert.##Requested left border "
                          "(%1)\r\nlies among unsolved periods.\r\nThe left border is not "
                          "changed.",
                          Str(newLeft)));
            newLeft = ps.LeftEdge;
        }
    }
    if (newRight != ps.RightEdge) {
        if (newRight >= LastPeriod + 1) {
            refuse(FillIn("Wert für rechten Intervallrand ist zu groß (max. = %1).\r\n"
                          "Maximalwert wird gesetzt.##Value for the right border is too large "
                          "(max. = %1).\r\nThe maximum is set.",
                          Str(LastPeriod)));
            newRight = LastPeriod;
        }
        if (newRight < newLeft + 1) {
            refuse(FillIn("Gewünschter rechter Intervallrand (%1)\r\nist nicht größer als der "
                          "linke.\r\nNächstmöglicher Wert wird gesetzt.##Requested right border "
                          "(%1)\r\nis not greater than the left one.\r\nThe nearest possible "
                          "value is set.",
                          Str(newRight)));
            newRight = newLeft + 1;
        }
    }
    // The checks above compare against values that are themselves corrected later (the
    // left edge against the uncorrected right one); these bounds hold whatever the request.
    newLeft = std::clamp(newLeft, 0, LastPeriod - 1);
    newRight = std::clamp(newRight, newLeft + 1, LastPeriod);

    if (revolving_) {
        newLeft = 1;
        newRight = std::max(newRight, 2);
        const int tzr = m_.TZR(), mzzr = m_.MZZR();
        if (newRight % tzr != 0 || newRight % mzzr != 0) {
            refuse("Intervallänge ist kein Vielfaches des Tarifzeitraums und des monetären "
                   "Zielzeitraums. Rechter Analyserand wird entsprechend angepaßt.##The interval "
                   "length "
                   "is not a multiple of the wage contract period and the monetary target period. "
                   "The right border is adjusted accordingly.",
                   "Achtung: Intervallanpassung!##Attention: interval adjusted!");
            const int p = tzr * mzzr;
            int r = (Nearest(static_cast<double>(newRight) / p) + 1) * p;
            // Rounding up can overshoot by more than one step; and when no multiple fits
            // below 5000 at all, the requested edge is the best there is.
            while (r > LastPeriod)
                r -= p;
            if (r >= 2) newRight = r;
        }
    }

    const bool leftChanged = newLeft != ps.LeftEdge;
    const bool rightChanged = newRight != ps.RightEdge;
    // The revolving adjustment can grow the edge beyond what any caller asked for (even on
    // a step down); periods never defined would be solved with all parameters 0.
    if (revolving_ && newRight > ps.RightEdge) FillUndefinedPeriods(ps.RightEdge + 1, newRight);
    if (leftChanged) {
        ps.PrevLeftEdge = ps.LeftEdge;
        ps.LeftEdge = newLeft;
    }
    if (rightChanged) {
        ps.PrevRightEdge = ps.RightEdge;
        ps.RightEdge = newRight;
    }
    if (leftChanged) PeriodChanged(KindLeftEdge);
    if (rightChanged) PeriodChanged(KindRightEdge);
    ClampCurrent();
    if (OnEdgesShown) OnEdgesShown();
}

void AnalysisInterval::SetAnalysisForm(bool revolving) {
    // Setting the form that is already active changes nothing: a second switch to
    // revolving would refill the archive from period 0 and lose the shifted history.
    if (revolving == revolving_) {
        if (OnFormChanged) OnFormChanged(revolving_);
        return;
    }
    if (revolving && m_.Periods.LastSolved < 0) {
        Refuse("Startperiode (t=0) noch nicht gelöst.\r\n"
               "Umschalten auf revolvierende Analyseform nicht möglich.##"
               "Start period (t=0) not yet solved.\r\n"
               "Switching to the revolving analysis form is not possible.");
        if (OnFormChanged) OnFormChanged(false);
        return;
    }
    revolving_ = revolving;
    if (OnFormChanged) OnFormChanged(revolving_);
    if (revolving) {
        shiftCount_ = 0;
        shiftedPeriods_ = 0;
        archivingEdges_ = {m_.Periods.LeftEdge, m_.Periods.RightEdge};
        SetInterval(1, std::max(2, m_.Periods.RightEdge), true);
        revolvingRight_ = m_.Periods.RightEdge;
        m_.FillPrehistoryFromPeriod0();
        return;
    }
    const bool shifted = shiftCount_ > 0;
    shiftCount_ = 0;
    shiftedPeriods_ = 0;
    if (!shifted) {
        // Nothing was shifted: the archiving interval comes back as it was (a right edge the
        // user chose meanwhile stays), and the model has not changed.
        const int right =
            m_.Periods.RightEdge == revolvingRight_ ? archivingEdges_.second : m_.Periods.RightEdge;
        SetInterval(archivingEdges_.first, right, false);
        return;
    }
    // After a revolving shift the results before the interval belong to another start;
    // everything is recalculated (the model-changed step sees LastSolved < 0).
    PeriodChanged(KindLeftEdge);
    MarkUnsolvedFrom(m_, -1);
    ModelChanged();
}

void AnalysisInterval::ToggleAnalysisForm() {
    host_.PlaySound("Umschalt.wav");
    SetAnalysisForm(!revolving_);
}

void AnalysisInterval::SetCurrentPeriod(int t) {
    m_.Periods.CurrentPeriod = t;
    PeriodChanged(KindCurrentPeriod);
}

void AnalysisInterval::FillUndefinedPeriods(int from, int to) {
    tv::FillUndefinedPeriods(m_, from, to);
}

void AnalysisInterval::ResetToDefaults(int from, int to) {
    from = std::max(from, FirstParPeriod);
    to = std::min(to, LastPeriod);
    for (int t = from; t <= to; ++t)
        for (int n = 1; n <= ParCount; ++n) {
            const double d = DefaultPar(t, n);
            if (m_.ModelPar(t, n) != d) {
                m_.SetModelPar(t, n, d);
                MarkUnsolvedFrom(m_, t - 1);
            }
        }
}

void AnalysisInterval::CopyPeriodInto(int source, int from, int to) {
    from = std::max(from, FirstParPeriod);
    to = std::min(to, LastPeriod);
    if (from > to) return;
    for (int t = from; t <= to; ++t)
        for (int n = 1; n <= ParCount; ++n)
            m_.SetModelPar(t, n, m_.ModelPar(source, n));
    // Periods beyond a shrunk interval may still count as solved; their inputs changed.
    MarkUnsolvedFrom(m_, from - 1);
}

int AnalysisInterval::LastDefinedPeriod() const {
    for (int t = m_.Periods.RightEdge; t < LastPeriod; ++t)
        if (m_.ModelPar(t + 1, UndefinedMarker) == 0) return t;
    return LastPeriod;
}

void AnalysisInterval::EnterLeftEdge(const std::string& text) {
    const std::optional<int> v = FieldValue(text);
    if (!v) return RefuseNotANumber(host_);
    SetInterval(*v, RightEdge(), true);
}

void AnalysisInterval::LeftEdgeStep(int delta) {
    SetInterval(LeftEdge() + delta, RightEdge(), false);
}

void AnalysisInterval::LeftEdgeToCurrent() {
    SetInterval(std::min(CurrentPeriod(), RightEdge() - 1), RightEdge(), true);
}

void AnalysisInterval::LeftEdgeToZero() {
    if (!revolving_) SetInterval(0, RightEdge(), true);
}

void AnalysisInterval::LeftEdgePrevious() {
    SetInterval(m_.Periods.PrevLeftEdge, RightEdge(), true);
}

void AnalysisInterval::EnterRightEdge(const std::string& text) {
    const std::optional<int> v = FieldValue(text);
    if (!v) return RefuseNotANumber(host_);
    const int oldRight = RightEdge();
    SetInterval(LeftEdge(), *v, true);
    if (RightEdge() > oldRight)
        RightEdgeGrew(oldRight);
    else
        StatusOkWhenSolved();
}

void AnalysisInterval::RightEdgeGrew(int oldRight) {
    FillUndefinedPeriods(oldRight + 1, RightEdge());
    host_.PlaySound("WasNun.wav");
    if (host_.Ask("Was nun?##Please decide",
                  "Daten des bisherigen rechten\r\nAnalyserands fortschreiben?##"
                  "Fill new periods with\r\nright border data?"))
        CopyPeriodInto(oldRight, oldRight + 1, RightEdge());
    ModelChanged();
}

void AnalysisInterval::RightEdgeUp() {
    const int oldRight = RightEdge();
    SetInterval(LeftEdge(), oldRight + 1, false);
    // At 5000 nothing changed: no model change to report (it would mark the model unsaved).
    if (RightEdge() == oldRight) return;
    RightEdgeGrew(oldRight);
}

void AnalysisInterval::RightEdgeDown() {
    SetInterval(LeftEdge(), RightEdge() - 1, false);
    StatusOkWhenSolved();
}

void AnalysisInterval::RightEdgeToCurrent() {
    SetInterval(LeftEdge(), std::max(CurrentPeriod(), LeftEdge() + 1), true);
    StatusOkWhenSolved();
}

void AnalysisInterval::RightEdgeToLastDefined() {
    const int oldRight = RightEdge();
    SetInterval(LeftEdge(), LastDefinedPeriod(), true);
    if (RightEdge() != oldRight) ModelChanged();
}

void AnalysisInterval::RightEdgePrevious() {
    const int oldRight = RightEdge();
    SetInterval(LeftEdge(), m_.Periods.PrevRightEdge, true);
    if (RightEdge() > oldRight)
        ModelChanged();
    else
        StatusOkWhenSolved();
}

void AnalysisInterval::CoverAllData() {
    const int left = revolving_ ? LeftEdge() : 0;
    const int right = LastDefinedPeriod();
    if (left == LeftEdge() && right == RightEdge()) return;
    SetInterval(left, right, true);
    ModelChanged();
}

bool AnalysisInterval::EnterCurrentPeriod(const std::string& text) {
    const std::optional<int> typed = FieldValue(text);
    if (!typed) {
        RefuseNotANumber(host_);
        return false;
    }
    const int v = *typed;
    if (v < LeftEdge() || v > RightEdge()) {
        Refuse("Die eingegebene Periode liegt nicht innerhalb des aktuellen Analyseintervalls. "
               "Die Eingabe wird daher auf den gerade noch zulässigen Wert korrigiert.##"
               "The period entered is not within the current analysis interval. "
               "It is corrected to the nearest admissible value.");
        SetCurrentPeriod(v > RightEdge() ? RightEdge() : LeftEdge());
        return false;
    }
    SetCurrentPeriod(v);
    return true;
}

int AnalysisInterval::RoundLength(StepSize size) const {
    switch (size) {
    case StepSize::WageRound:
        return m_.TZR();
    case StepSize::MonetaryRound:
        return m_.MZZR();
    case StepSize::One:
        break;
    }
    return 1;
}

void AnalysisInterval::CurrentKeyStep(int direction, StepSize size) {
    const int cur = CurrentPeriod();
    if (size == StepSize::One) {
        int t = cur + (direction > 0 ? 1 : -1);
        if (t > RightEdge()) t = LeftEdge();
        if (t < LeftEdge()) t = RightEdge();
        SetCurrentPeriod(t);
        return;
    }
    CurrentStep(direction, size);
}

void AnalysisInterval::CurrentStep(int direction, StepSize size) {
    const int cur = CurrentPeriod();
    if (size == StepSize::One) {
        SetCurrentPeriod(cur + (direction > 0 ? 1 : -1));
        return;
    }
    const int len = RoundLength(size);
    if (direction > 0 && cur + len <= RightEdge())
        SetCurrentPeriod(cur + len);
    else if (direction < 0 && cur - len >= LeftEdge())
        SetCurrentPeriod(cur - len);
}

void AnalysisInterval::CurrentToLeftEdge() {
    SetCurrentPeriod(LeftEdge());
}
void AnalysisInterval::CurrentToRightEdge() {
    SetCurrentPeriod(RightEdge());
}

void AnalysisInterval::MonitorClick(int x, int width, int length) {
    if (width <= 0 || length <= 0) return;
    const int p = Nearest(static_cast<double>(x) / width * (RightEdge() - LeftEdge())) + LeftEdge();
    SetCurrentPeriod(Nearest(static_cast<double>(p) / length) * length);
}

std::optional<ShiftOffer> AnalysisInterval::PrepareShift() {
    const PeriodState& ps = m_.Periods;
    if (ps.LastSolved < ps.RightEdge) {
        Refuse("Das aktuelle Analyseintervall\r\nist noch nicht vollständig gelöst.\r\n"
               "Intervallverschiebung nicht möglich.##"
               "The current analysis interval\r\nis not yet completely solved.\r\n"
               "The interval cannot be moved.");
        return std::nullopt;
    }
    if (!revolving_ && ps.RightEdge >= LastPeriod) {
        Refuse("Maximale Ausdehnung des Analyseintervalls ist erreicht.##"
               "The analysis interval has reached its maximum length.");
        return std::nullopt;
    }
    host_.PlaySound("WasNun.wav");
    ShiftOffer o;
    o.revolving = revolving_;
    o.choice = lastChoice_;
    if (!revolving_) {
        o.caption = "Intervall verschieben (archivierend)##Move interval (archiving)";
        o.helpContext = 212;
        o.fromText = FillIn("von Periode %1##from period %1", Str(ps.RightEdge + 1));
        o.trackMin = ps.RightEdge + 1;
        o.trackMax = std::min(ps.RightEdge + 500, LastPeriod);
        // The new interval has the length of the old one.
        int start = std::min(2 * ps.RightEdge - ps.LeftEdge + 1, LastPeriod);
        if (ps.LeftEdge == 0) --start;
        o.trackStart = std::clamp(start, o.trackMin, o.trackMax);
    } else {
        o.caption = "Intervall verschieben (revolvierend)##Move interval (revolving)";
        o.helpContext = 213;
        o.countText = FillIn("bisherige Intervallverschiebungen: %1##interval moves so far: %1",
                             Str(shiftCount_));
        o.totalText = FillIn("bislang verschobene Perioden: %1##periods moved so far: %1",
                             Str(shiftedPeriods_));
    }
    return o;
}

void AnalysisInterval::ApplyShift(int trackPosition, int choice) {
    PeriodState& ps = m_.Periods;
    // Only after PrepareShift agreed; a stray call changes nothing.
    if (ps.LastSolved < ps.RightEdge || (!revolving_ && ps.RightEdge >= LastPeriod)) return;
    if (choice < ShiftKeepData || choice > ShiftInitialise) choice = ShiftKeepData;
    lastChoice_ = choice;
    host_.PlaySound("AIVersch.wav");

    if (!revolving_) {
        const int oldRight = ps.RightEdge;
        trackPosition =
            std::clamp(trackPosition, oldRight + 1, std::min(oldRight + 500, LastPeriod));
        SetInterval(oldRight + 1, trackPosition, false);
        if (choice == ShiftKeepData)
            FillUndefinedPeriods(ps.LeftEdge, ps.RightEdge);
        else if (choice == ShiftContinueData)
            CopyPeriodInto(oldRight, oldRight + 1, ps.RightEdge);
        else
            ResetToDefaults(ps.LeftEdge, ps.RightEdge);
        ps.LastSolved = std::min(ps.LastSolved, ps.LeftEdge - 1);
        ModelChanged();
        return;
    }

    const int right = ps.RightEdge;
    ++shiftCount_;
    shiftedPeriods_ += right - ps.LeftEdge + 1;
    // The archive holds the parameters of the periods up to 0; the old right edge becomes
    // period 0. Ascending order reads every archive row before it is overwritten.
    for (int p = FirstVarPeriod; p <= 0; ++p) {
        const int s = p + right;
        for (int n = 1; n <= ParCount; ++n)
            m_.SetPrehistoryPar(p, n, s >= 1 ? m_.ModelPar(s, n) : m_.PrehistoryPar(s, n));
    }
    if (choice == ShiftContinueData)
        CopyPeriodInto(right, ps.LeftEdge, right - 1);
    else if (choice == ShiftInitialise)
        ResetToDefaults(ps.LeftEdge, right);
    for (int t = FirstVarPeriod; t <= 0; ++t)
        for (int n = 1; n <= VarCount; ++n)
            m_.SetModelVar(t, n, m_.ModelVar(t + right, n));
    ps.LastSolved = ps.LeftEdge - 1;
    ModelChanged();
}

int AnalysisInterval::SliderPosition(int current, int left, int right, int railWidth,
                                     int sliderWidth) {
    const int span = railWidth - sliderWidth;
    if (span <= 0 || right <= left) return 1;
    const int pos = Nearest(static_cast<double>(current - left) / (right - left) * span);
    return std::max(1, std::min(pos, span - 1));
}

int AnalysisInterval::PeriodAtSlider(int position, int left, int right, int railWidth,
                                     int sliderWidth) {
    const int span = railWidth - sliderWidth;
    if (span <= 2 || position <= 1) return left;
    if (position >= span - 1) return right;
    const int t = left + Nearest(static_cast<double>(position) / span * (right - left));
    return std::clamp(t, left, right);
}

int AnalysisInterval::RoundNumber(int current, int length) {
    // Rounds are [0, L), [L, 2L), ...; rounding the quotient to nearest would name the
    // next round in the second half of a running one.
    return length > 0 ? current / length + 1 : 1;
}

std::vector<MonitorSegment> AnalysisInterval::MonitorSegments(int left, int right, int current,
                                                              int length, int width) {
    std::vector<MonitorSegment> out;
    if (right <= left || length <= 0 || width < 5) return out;
    // The first boundary is the end of the round that holds the left edge.
    int e = (left / length + 1) * length;
    int prevX = 2;
    const int count = (right - left + length - 1) / length + 1;
    for (int k = 1; k <= count; ++k) {
        const int xe = Nearest(static_cast<double>(e - left) * (width - 2) / (right - left));
        MonitorSegment s;
        s.x0 = prevX;
        s.x1 = std::min(xe - 1, width - 3);
        s.current = current >= e - length && current < e;
        if (s.x1 >= s.x0) out.push_back(s);
        prevX = xe;
        e += length;
        if (prevX > width - 3) break;
    }
    return out;
}

std::string AnalysisInterval::WageLabel(int current, int tzr, int language) {
    return Translate("TZR: ##WP: ", language) + Str(RoundNumber(current, tzr)) + " (" + Str(tzr) +
           ")";
}

std::string AnalysisInterval::MoneyLabel(int current, int mzzr) {
    return "MZZR:  " + Str(RoundNumber(current, mzzr)) + " (" + Str(mzzr) + ")";
}

std::string AnalysisInterval::WageStatus(int current, int tzr, int language) {
    return Translate(tzr > 0 && current % tzr == 0
                         ? "     Tarifverhandlung  ##     Wage bargaining  "
                         : "Tarifvertrag läuft ...  ##Contract in force  ",
                     language);
}

std::string AnalysisInterval::MoneyStatus(int current, int mzzr, int language) {
    return Translate(mzzr > 0 && current % mzzr == 0 ? "  aktive Geldpolitik  ##  active policy  "
                                                     : "passive Geldpolitik  ##passive policy  ",
                     language);
}

} // namespace tv
