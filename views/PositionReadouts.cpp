#include "views/PositionReadouts.h"

#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Symbols.h"

#include <cmath>

namespace tv {

namespace {

std::string WithoutAccelerator(std::string s) {
    for (size_t k = s.find('&'); k != std::string::npos; k = s.find('&', k))
        s.erase(k, 1);
    return s;
}

// Less than the balancing value is excess demand, more is excess supply.
MarketState Compare(double below, double above) {
    if (below < above) return MarketState::ExcessDemand;
    if (below > above) return MarketState::ExcessSupply;
    return MarketState::Equilibrium;
}

MarketState Opposite(MarketState s) {
    if (s == MarketState::ExcessDemand) return MarketState::ExcessSupply;
    if (s == MarketState::ExcessSupply) return MarketState::ExcessDemand;
    return s;
}

} // namespace

const char* MarketStateText(MarketState s) {
    switch (s) {
    case MarketState::ExcessDemand:
        return "Nachfrageüberschuss##Excess Demand";
    case MarketState::ExcessSupply:
        return "Angebotsüberschuss##Excess Supply";
    case MarketState::Equilibrium:
    default:
        return "Gleichgewicht##Equilibrium";
    }
}

PositionReadout IncomeInterestReadout(const Model& m, const IncomeInterestOptions& o, double y,
                                      double axisValue, int language) {
    auto tr = [language](const char* s) { return Translate(s, language); };
    auto num = [&m](double v) { return m.FormatNumber(v); };
    const int c = m.Periods.CurrentPeriod;
    const double i = o.RealRate ? NominalOfReal(m, c, axisValue) : axisValue;
    const double r = o.RealRate ? axisValue : RealOfNominal(m, c, axisValue);

    PositionReadout out;
    out.Caption = tr("Einkommen-Zins-Grafik##Income-Interest-Diagram") + "-Information";
    out.Groups.push_back({tr("Positionswerte##Position"),
                          {tr("Einkommen##Income") + ": " + num(y),
                           tr("Nominalzins##Nominal Interest Rate") + ": " + num(i) + "%",
                           tr("Realzins##Real Interest Rate") + ": " + num(r) + "%"}});
    auto line = [&](bool shown, const char* market, MarketState s) {
        return shown ? tr(market) + ": " + tr(MarketStateText(s)) : std::string();
    };
    ReadoutGroup markets{tr("Marktzustand##Market position") + " (t = " + std::to_string(c) + ")",
                         {}};
    // Left of IS demand exceeds supply.
    markets.Lines.push_back(
        o.IS && !InfiniteMultiplier(m, c)
            ? line(true, "Güter-/Kapitalmarkt##Goods/Capital Market", Compare(y, ISIncome(m, c, r)))
            : std::string());
    // Beyond the speculation limit money is short at every rate; otherwise below LM.
    MarketState money = MarketState::ExcessDemand;
    if (!(y > m.GetVar(c, var::M) / m.GetPar(c, par::lY))) money = Compare(i, LMRate(m, c, y));
    markets.Lines.push_back(line(o.LM, "Geldmarkt##Money Market", money));
    const double lf = y > BondMarketIncome(m, c, SpeculationLimitRate(m, c))
                          ? BondMarketIncomeNoSpec(m, c, i)
                          : BondMarketIncome(m, c, i);
    markets.Lines.push_back(line(o.LF, "Wertpapiermarkt##Bond Market", Compare(y, lf)));
    const double surplus = BopSurplus(m, c, 0, i, m.GetVar(c, var::e), y);
    // A surplus means foreign exchange is offered in excess.
    markets.Lines.push_back(
        line(o.Z, "Devisenmarkt##Foreign Exchange Market", Compare(surplus, 0)));
    out.Groups.push_back(std::move(markets));
    return out;
}

PositionReadout IncomeExpenditureReadout(const Model& m, const IncomeExpenditureOptions& o,
                                         bool goodsPanel, double x, double y, int language) {
    auto tr = [language](const char* s) { return Translate(s, language); };
    auto num = [&m](double v) { return m.FormatNumber(v); };
    const int c = m.Periods.CurrentPeriod;
    const double e = m.GetVar(c, var::e);
    PositionReadout out;
    out.Caption = tr("Einkommen-Ausgaben-Grafik##Income-Expenditure-Diagram") + "-Information" +
                  " (t = " + std::to_string(c) + ")";
    ReadoutGroup position{tr("Positionswerte##Position"),
                          {tr("Einkommen##Income") + ": " + num(x)}};
    ReadoutGroup market;
    if (goodsPanel) {
        market.Title = WithoutAccelerator(tr("&Gütermarkt##&Goods Market"));
        double demand, supply;
        std::string demandName, supplyName;
        if (o.Gross) {
            demandName = tr("Bruttonachfrage##Gross Demand");
            supplyName = tr("Angebot##Supply");
            demand = AutonomousDemand(m, c) + SpendingPropensity(m, c) * x;
            supply = x + ImportDemand(m, c, e, x);
        } else {
            demandName = tr("Nettonachfrage##Net Demand");
            supplyName = tr("Heimische Produktion##Domestic supply");
            demand = AutonomousNetDemand(m, c) + DomesticSpendingPropensity(m, c) * x;
            supply = x;
        }
        position.Lines.push_back(demandName + ": " + num(y));
        market.Lines.push_back(demandName + ": " + num(demand));
        market.Lines.push_back(supplyName + ": " + num(supply));
        const MarketState s = Opposite(Compare(demand, supply));
        std::string conclusion = "=> " + tr(MarketStateText(s));
        if (s != MarketState::Equilibrium) conclusion += ": " + num(std::fabs(demand - supply));
        market.Lines.push_back(conclusion);
    } else {
        market.Title = WithoutAccelerator(tr("&Kapitalmarkt##&Capital Market"));
        const double r = m.GetVar(c, var::rErw);
        position.Lines.push_back(tr("Kapitalströme##Capital Flows") + ": " + num(y));
        market.Lines.push_back(tr("Nachfrage##Demand") + ": " +
                               num(Investment(m, c, r, x) + TradeBalance(m, c, e, x)));
        market.Lines.push_back(tr("Angebot##Supply") + ": " +
                               num(Saving(m, c, r, x) + BudgetSurplus(m, c, x)));
    }
    out.Groups.push_back(std::move(position));
    out.Groups.push_back(std::move(market));
    return out;
}

} // namespace tv
