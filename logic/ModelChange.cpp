#include "logic/ModelChange.h"

#include "core/Model.h"
#include "core/Solver.h"
#include "core/UserHost.h"

#include <algorithm>

namespace tv {

void EnforceExpectationRules(Model& m, UserHost& host) {
    const bool fixedRates = m.Sw(21) == 0;
    const bool incomeOnly = fixedRates && m.Sw(17) == 0 && m.Sw(14) == 0 && m.Sw(12) == 0;
    Expectations& e = m.Expect;
    // 2. Income expectations of households.
    if (!fixedRates && (e[0].Method == 1 || e[1].Method == 1 || e[2].Method == 1)) {
        host.ShowMessage("Achtung!##Attention!",
                         "Bei flexiblen Wechselkursen ist tatsächliche Einkommenserwartung "
                         "seitens der Haushalte nicht mehr möglich. Es wird auf extrapolative "
                         "Erwartungen umgeschaltet.##With flexible exchange rates, households "
                         "can no longer expect their actual income. Expectations are switched "
                         "to extrapolative.");
        for (int k : {0, 1, 2})
            if (e[k].Method == 1) e[k].Method = 2;
    }
    // 3. Demand expectations.
    if (e[3].Method == 1 && !incomeOnly) {
        host.ShowMessage("Achtung!##Attention!",
                         "Tatsächliche Nachfrageerwartungen der Güteranbieter sind nur möglich, "
                         "wenn das Einkommen die einzige endogene Größe ist. Dies ist nicht der "
                         "Fall. Es wird daher auf extrapolative Nachfrageerwartungen "
                         "umgeschaltet.##Firms can expect the actual demand only when income is "
                         "the only endogenous variable. This is not the case. Demand expectations "
                         "are therefore switched to extrapolative.");
        e[3].Method = 2;
    }
    // 4. Import expectations.
    const bool demandImports = m.Sw(9) == 1;
    if (e[4].Method == 1 && !incomeOnly && demandImports) {
        host.ShowMessage("Achtung!##Attention!",
                         "Tatsächliche Importnachfrageerwartungen der Güteranbieter sind nur "
                         "möglich, wenn das Einkommen die einzige endogene Größe ist. Dies ist "
                         "nicht der Fall. Es wird daher auf extrapolative "
                         "Importnachfrageerwartungen umgeschaltet.##Firms can expect the actual "
                         "import demand only when income is the only endogenous variable. This "
                         "is not the case. Import demand expectations are therefore switched to "
                         "extrapolative.");
        e[4].Method = 2;
    }
    if (e[4].Method == 1 && m.Sw(9) == 0) {
        host.ShowMessage("Achtung!##Attention!",
                         "Tatsächliche Importnachfrageerwartungen sind bei angebotsgesteuerten "
                         "Importen nicht mehr sinnvoll. Es wird daher auf extrapolative "
                         "Importbedarfserwartungen umgeschaltet.##Expecting the actual import "
                         "demand makes no sense with supply-driven imports. Import requirement "
                         "expectations are therefore switched to extrapolative.");
        e[4].Method = 2;
    }
    if (e[4].Method == 4 && demandImports) {
        host.ShowMessage("Aufgepaßt!##Watch out!",
                         "Importsynchronisation mit heimischer Produktion ist bei "
                         "nachfragegesteuerten Importen nicht mehr möglich. Es wird daher auf "
                         "extrapolative Importnachfrageerwartungen umgeschaltet.##Imports can no "
                         "longer be synchronised with domestic production when they are "
                         "demand-driven. Import demand expectations are therefore switched to "
                         "extrapolative.");
        e[4].Method = 2;
    }
    e[4].Name = demandImports ? "Importnachfrageerwartung heimischer Anbieter##Import Demand "
                                "Expectation of Domestic Firms"
                              : "Importbedarfsplanung heimischer Anbieter##Import Requirement "
                                "Planning of Domestic Firms";
}

void MarkWhatMustBeRecomputed(Model& m) {
    PeriodState& ps = m.Periods;
    if (m.RecalcAll) ps.LastSolved = -1;
    if (m.RecalcInterval) MarkUnsolvedFrom(m, std::max(0, ps.LeftEdge - 1));
}

} // namespace tv
