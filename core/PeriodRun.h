#pragma once

#include <string>

namespace tv {

// The settings and the stepping rule of the period run; the window drives it with a timer.
class PeriodRun {
  public:
    // Delay between two steps in tenths of a second (the scroll bar: 1..100; 0 lets the
    // run step once per event-loop pass) and the jump width in periods (1..100).
    void SetDelay(int tenths);
    void SetJumpWidth(int periods);
    int Delay() const { return delay_; }
    int JumpWidth() const { return jump_; }
    int DelayMilliseconds() const { return delay_ * 100; }

    // The next period of a run from `current`, or -1 when it would pass the right edge.
    int NextPeriod(int current, int right) const;

    // The group captions that follow the scroll bars; the delay's seconds with the given
    // decimal separator.
    std::string DelayCaption(int language, char decimalSeparator = '.') const;
    std::string JumpCaption(int language) const;

  private:
    int delay_ = 1;
    int jump_ = 1;
};

} // namespace tv
