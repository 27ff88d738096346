#pragma once

// The model's behavioural equations: functions of one period t that read parameters and
// variables through the store (so they work alike on the model and on the scratch store).
// Only NominalWage writes (the remembered wage pair).

namespace tv {

class Model;

// Income distribution and disposable income
double ExpWageShare(const Model& m, int t);
double DispWageIncomeExp(const Model& m, int t, double y);
double DispProfitIncomeExp(const Model& m, int t, double y);
double DispIncomeExp(const Model& m, int t, double y);
double DispWageIncome(const Model& m, int t, double y);
double DispProfitIncome(const Model& m, int t, double y);
double DispIncome(const Model& m, int t, double y);
double TaxesExp(const Model& m, int t, double y);
double Taxes(const Model& m, int t, double y);
double TransfersTotal(const Model& m, int t);
double BudgetSurplusExp(const Model& m, int t, double y);
double BudgetSurplus(const Model& m, int t, double y);

// Goods demand
double Consumption(const Model& m, int t, double r, double y);
double Investment(const Model& m, int t, double r, double y);
double GovernmentPurchases(const Model& m, int t, double y);
double ExportDemand(const Model& m, int t, double e);
double ImportDemand(const Model& m, int t, double e, double y);
double TradeBalance(const Model& m, int t, double e, double y);
double ImportIncome(const Model& m, int t);
double Saving(const Model& m, int t, double r, double y);
double SavingExp(const Model& m, int t, double r, double y);

// Marginal propensities and multipliers
double InterestSens(const Model& m, int t);
double SavingPropensity(const Model& m, int t);
double InvestPropensity(const Model& m, int t);
double AvgTaxRate(const Model& m, int t);
double SpendingPropensity(const Model& m, int t);
double DomesticSpendingPropensity(const Model& m, int t);
double AutonomousDemand(const Model& m, int t);
double AutonomousNetDemand(const Model& m, int t);
double NetDemandAt(const Model& m, int t, double r, double y);
double ISIncome(const Model& m, int t, double r);
int StabilitySign(const Model& m, int t);
double Multiplier(const Model& m, int t);

// Production and labour
double ProductionFunction(const Model& m, int t, double k, double a);
double PotentialOutput(const Model& m, int t);
double LabourRequirement(const Model& m, int t, double y);
double UnemploymentAt(const Model& m, int t, double y);
double CapitalRequirement(const Model& m, int t);
double CapitalUtilisation(const Model& m, int t);

// Wages and prices
bool IsWagePeriodStart(const Model& m, int t);
bool IsMonetaryPeriodStart(const Model& m, int t);
int WageRoundStart(const Model& m, int t);
double WageGrowthTarget(const Model& m, int t);
double NominalWage(Model& m, int t, bool start, double uExp);
double NominalWageGrowth(const Model& m, int t);
double UnitLabourCost(const Model& m, int t, double wN, double y);
double MarkupPrice(const Model& m, int t, double wN, double y);
double SupplyPrice(const Model& m, int t, double wN, double y);
double PriceAt(const Model& m, int t, double y);
double PriceOrientedSupply(const Model& m, int t, double p);
double InflationAt(const Model& m, int t, double p);
double PriceFromInflation(const Model& m, int t, double g);

// Money, interest and the external sector
double MoneyDemand(const Model& m, int t, double i, double y1, double y2);
double MoneyMultiplier(const Model& m, int t);
double Currency(const Model& m, int t);
double Reserves(const Model& m, int t);
double MonetaryBase(const Model& m, int t);
double PlannedMoneySupply(const Model& m, int t, bool start);
double PlannedRealMoney(const Model& m, int t, bool start);
double ReserveInflowFactor(const Model& m, int t);
double PrevRealExchangeRate(const Model& m, int t);
double RealExchangeRate(const Model& m, int t);
double CapitalInflow(const Model& m, int t, double f, double i);
double BopSurplus(const Model& m, int t, double f, double i, double e, double y);
double ReserveInflow(const Model& m, int t, double i);
int MoneySubsteps(const Model& m, int t);
double ReserveInflowStep(const Model& m, int t, double i);
double RealRate(const Model& m, int t, double i);
double ExpectedRealRate(const Model& m, int t, double i);
double InterestRate(const Model& m, int t, double money);
double InterestRateStepped(const Model& m, int t);
int MoneyMarketRegime(const Model& m, int t, double i);
double SpeculationLimitRate(const Model& m, int t);
double LMRate(const Model& m, int t, double y);
double BalancingRate(const Model& m, int t, double y);
double BondMarketIncome(const Model& m, int t, double i);
double BondMarketIncomeNoSpec(const Model& m, int t, double i);

} // namespace tv
