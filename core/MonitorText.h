#pragma once

#include <string>

namespace tv {

class Model;

// The lines of the model monitor's structure page, each beginning with ": " (bilingual
// texts joined in the language given).
enum class MonitorQuantity { InterestRate, MoneySupply, PriceLevel, WageLevel, ExchangeRate };
std::string MonitorLine(const Model& m, MonitorQuantity q, int language);

// The width of a period bar of the time-structure page: proportional to its length out of
// 15 periods across the group's inner width, never narrower than the basic-period bar and
// never wider than the group's inner width (a length read from a file can be up to 255).
int MonitorBarWidth(int basicWidth, int groupWidth, int barLeft, int length);

} // namespace tv
