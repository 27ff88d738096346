#include "core/MonitorText.h"

#include "core/Catalogue.h"
#include "core/Model.h"

#include <algorithm>
#include <cmath>

namespace tv {

std::string MonitorLine(const Model& m, MonitorQuantity q, int language) {
    auto t = [language](const char* text) { return Translate(text, language); };
    const std::string endo = t("endogen##endogenous");
    const std::string exo = t("exogen##exogenous");
    std::string s = ": ";
    switch (q) {
    case MonitorQuantity::InterestRate:
        if (m.Sw(17) == 0)
            s += exo;
        else if (m.Sw(17) == 1)
            s += endo + " [" +
                 t("vollständig wertpapiermarkträumend##clearing the complete bond "
                   "market") +
                 "]";
        else
            s += endo + " [" + t("geldmarkträumend##clearing the money market") + "]";
        break;
    case MonitorQuantity::MoneySupply:
        s += m.Sw(19) != 0 ? endo : exo;
        if (m.Sw(18) == 1 || m.Sw(20) == 1) {
            s += " [";
            if (m.Sw(20) == 1) s += "dyn. ";
            if (m.Sw(18) == 1) s += "mult. " + t("Geldschöpfung##Money Creation");
            // "dyn. " alone keeps no trailing blank before the bracket.
            if (s.back() == ' ') s.pop_back();
            s += "]";
        }
        break;
    case MonitorQuantity::PriceLevel:
        if (m.Sw(12) == 0) {
            s += exo;
        } else {
            if (m.Sw(12) == 1)
                s += endo + " [" + t("gewinnmax.##profit max.") + " " + t("Preissetzung##Pricing") +
                     "; ";
            else
                s += endo + " [" + t("Markup-Preisbildung##markup pricing") + "; ";
            s += t(m.Sw(6) == 1 ? "substitut. Techn.##subst. techn."
                                : "limitat. Techn.##limit. techn.") +
                 "]";
        }
        break;
    case MonitorQuantity::WageLevel:
        if (m.Sw(14) == 0)
            s += exo;
        else
            s += endo + " [" + t(m.Sw(14) == 2 ? "mit##with" : "ohne##without") + " " +
                 t("Effektivlohnanpassung##Adjustment of Actual Wages") + "]";
        break;
    case MonitorQuantity::ExchangeRate:
        s += m.Sw(21) == 1 ? t("flexibel##flexible") : t("fest##fix");
        break;
    }
    return s;
}

int MonitorBarWidth(int basicWidth, int groupWidth, int barLeft, int length) {
    const int inner = std::max(0, groupWidth - 2 * barLeft);
    const int proportional =
        static_cast<int>(std::lround(static_cast<double>(inner) * std::max(0, length) / 15.0));
    return std::min(std::max(basicWidth, proportional), inner);
}

} // namespace tv
