#include "core/Catalogue.h"

#include "core/Model.h"
#include "core/UserHost.h"

#include <array>
#include <cctype>
#include <cmath>

namespace tv {

namespace {

// Generated from the catalogue tables; the texts are the program's own, typos included.

const char* const kParamNames[65] = {
    " nicht belegt##no entry",
    "Konsum,autonom (C,aut)##Consumption,autonomous (C,aut)",
    "Konsumquote,marg. (c[Y])##Propensity to Consume,marg. (c[Y])",
    "Lohn-Konsumquote,marg. (c[YL])##Propensity to Consume Wages,marg. (c[YL])",
    "Gewinn-Konsumquote,marg. (c[YU])##Propensity to Consume Profits,marg. (c[YU])",
    "Zinsreag. des Konsums (c[r])##Interest Responsiveness of Consumption,marg. (c[r])",
    "Investitionen,autonom (I,aut)##Investment,autonomous (I,aut)",
    "Investitionsquote,marg. (b[Y])##Propensity to Invest,marg. (b[Y])",
    "Akzelerator (b[dY])##Accelerator (b[dY)",
    "Abschreibungsrate (d[K])##Rate of Depreciation (d[K])",
    "Gewinnreag. der Inv.,marg. (b[YU])##Propensity to Invest Profits,marg. [b[YU]]",
    "Zinsreag. der Inv. (b[r])##Interest Responsiveness of Investment,marg. (b[r])",
    "Staatsnachfrage,autonom (G,aut)##Government Purchases,autonomous (G,aut)",
    "Abgabenreag. der Staatsnachfr. (g[T])##Propensity to Spend Taxes,marg. (g[T])",
    "Exporte,autonom (Ex,aut)##Exports,autonomous (Ex,aut)",
    "Wechselkursreag. der Exporte (x[e])##Exch. Rate Responsiveness of Exports (x[e])",
    "Arbeitsproduktivität (a)##Labour Productivity (a)",
    "Kapitalproduktivität (k)##Capital Productivity (k)",
    "Effizienzparamter (q)##Efficiency Parameter (q)",
    "Arbeitselastizität (alpha)##Labor Elasticity (alpha)",
    "Kapitalelastizität (beta)##Capital Elasticity (beta)",
    "Arbeitspotential (A,pot)##Labor Force Potential (A,pot)",
    "Sachkapitalstock,exogen (K,exog)##Real Capital Stock,exog. (K,exog)",
    "Importe,autonom (Im,aut)##Imports,autonomous (Im,aut)",
    "Importquote,marg. (m[Y])##Propensity to Import,marg. (m[Y])",
    "Wechselkursreag. der Importe (m[e])##Exch. Rate Presponsiveness of Imports (m[e])",
    "Auslandspreisniveau,exog. (PA,exog)##Foreign Price Level,exog. (PA,exog)",
    "Auslandsinflation,exog. (gPA,exog)##Foreign Inflation Rate,exog. (gPA,exog)",
    "Preisaufschlagsatz,aut. (j,aut)##Markup,aut. (j,aut)",
    "ausl.abh. Preisaufschlagsatz (j[Y])##Output-dependent Markup (j[Y])",
    "Preisuntergrenze (P,u)##Bottom Price (P,u)",
    "Preisniveau,exogen (P,exog)##Price Level,exog. (P,exog)",
    "Lohnniveau,exog. nom. (wN,exog)##Wage Level,exog. nom. (wN,exog)",
    "Inflationsreag. der Löhne (w[gP])##Wage Responsiveness to Inflation (w[gP])",
    "Produktivitätsreag. der Löhne (w[ga])##Wage Responsiveness to Productivity Growth (w[ga])",
    "Beschäftigungsreag. der Löhne (w[u])##Wage Responsiveness to Unemployment (w[u])",
    "natürliche Arbeitslosigkeit (u,nat)##Natural Rate of Unemployment (u,nat)",
    "Lohnzuwachskomponente,autonom (w[V])##Wage Growth,autonomous (w[V])",
    "Lohnquote,exogen (LQ,exog)##Wage Share Ratio,exog. (LQ,exog)",
    "Abgaben,autonom (T,aut)##Taxes,autonomous (T,aut)",
    "Abgabenquote,marginal (t[Y])##Tax Rate,marginal (t[Y])",
    "Lohnabgaben,autonom (TL,aut)##Taxes on Wages,auton. (TL,aut)",
    "Gewinnabgaben,autonom (TU,aut)##Taxes on Profits,auton. (TU,aut)",
    "Lohnabgabenquote,marg. (t[YL])##Tax Rate on Wages,marg. (t[YL])",
    "Gewinabgabenquote,marg. (t[YU])##Tax Rate on Profits,marg. (t[YU])",
    "Sozialleistungen,autonom (SB,aut)##Social Benefits,auton. (Tr,aut)",
    "Subventionen,autonom (Sub,aut)##Subsidies,auton. (Sub,aut)",
    "Zinsniveau in %,nom. exog. (i,exog)##Interest Rate in %,nom. exog. (i,exog)",
    "Kassenhaltungskoeffizient (l[Y])##Income-Sensitivity of Money Demand (l[Y])",
    "Geldnachfrage,autonom (L,aut)##Money Demand,auton. (L,aut)",
    "Zinsreag. der Geldnachfrage (l[i])##Interest-Sensitivity of Money Demand (l[i])",
    "Zinsuntergrenze in %(i,u)##Interest Rate Minimum in % (i,u)",
    "Geldmenge,aut. nom.(MN,aut)##Money Supply,aut. nom. (MN,aut)",
    "Geldbasis,aut. nom.(MBN,aut)##High Powered Money,aut. nom. (MBN,aut)",
    "Geldmengenwachstumsrate,nom. (gMN,aut)##Monetary Growth Rate,nom. (gMN,aut)",
    "Geldangebotsänd.,aut. heim. nom.(dMHN,aut)##Change in Money Supply,aut. domest. nom. "
    "(dMHN,aut)",
    "Geldbasisänderung,aut. heim. nom.(dMBHN,aut)##Change in High Powered Money, aut. domest. nom. "
    "(dMBHN,aut)",
    "Bargeldquote (b[M])##Currency Ratio (b[M])",
    "Mindestreservesatz (r[SE])##Reserve Ratio (r[SE])",
    "Neutralisierungsquote (n[WR])##Neutralization Ratio (n[WR])",
    "Wechselkurs,exog. nom. (eN,exog)##Foreign Exchange Rate, exog. nom. (eN,exog)",
    "Nettokapitalimport,aut. (NK,aut)##Net Capital Inflows,auton. (NK,aut)",
    "Zinsreagibilität des Kapitalverkehrs (k[di])##Interest Sensitivity of Capital Flows (k[di])",
    "Auslandszinsniveau,exog. nom. in % (iA)##Foreign Interest Rate,exog. nom. in % (iA)",
    "Friktionskoeff. des Kapitalverk. (f[NK])##Capital Flows Friction Coefficient (f[NK])",
};

const char* const kVarNames[64] = {
    " nicht belegt##no entry",
    "Einkommmen, erw. (Y,erw)##Income, exp. (Y,exp)",
    "Lohneinkommen, erw. (YL,erw)##Income from Wages, exp. (YL,exp)",
    "Gew.-/Kap.eink, erw. (YU,erw)##Income from Profits, exp. (YU,exp)",
    "verf. Einkommen, erw. (YV,erw##Disposable Income, exp. (YV,exp))",
    "verf. Lohneink., erw. (YLV,erw)##Disposable Income from Wages, exp. (YLV,exp)",
    "verf. Gew.-/Kap.eink., erw. (YUV,erw)##Disposable Income from Profits, exp. (YUV,exp)",
    "Güternachfrage, erw. (N,erw)##Demand for Goods, exp. (N,exp)",
    "Importe, erw. (Im,erw)##Imports, exp. (Im,exp)",
    "Nettonachfrage, erw (D,erw)##Net Demand for Goods, exp. (D,exp)",
    "Inflationsrate, erw. (gP,erw)##Inflation Rate, exp. (gP,exp)",
    "Produktivitätswachs., erw (ga,erw)##Productivity Growth Rate, exp. (ga,exp)",
    "Arbeitslosenquote, erw. (u,erw)##Unemployment Rate, exp. (u,exp)",
    "Zinsniveau, nom. (i)##Interest Rate, nom. (i)",
    "Zinsniveau, real (r)##Interest Rate, real (r)",
    "Zinsniveau, real erw. (r,erw)##Interest Rate, real exp. (r,exp)",
    "Nettokapitalimporte (NK)##Net Capital Inflows (NK)",
    "Devisenbilanzsaldo (Z)##Balance of Payments Surplus (Z)",
    "Geldschöpfungsmultiplikator (GSM)##Money Multiplier (GSM)",
    "Transaktionskassennachfrage (LT)##Transactions Demand for Money (LT)",
    "Spekulationskassennachfrage (LS)##Speculative Demand for Money (LS)",
    "Geldnachfrage (L)##Demand for Money (L)",
    "Geldmenge, real (M)##Money Supply, real (M)",
    "Geldmenge, nom. (MN)##Money Supply, nom. (MN)",
    "Geldmengenwachst., nom. (gMN)##Monetary Growth Rate, nom. (gMN)",
    "Wechselkurs, nom. (eN)##Foreign Exchange Rate, nom. (eN)",
    "Wechselkurs, real (e)##Foreign Exchange Rate, real (e)",
    "Konsumnachfrage, pr. (C)##Consumption Demand, pr. (C)",
    "Investitionsnachfrage, pr. (I)##Investment Demand, pr. (I)",
    "Staatsnachfrage (G)##Government Purchases (G)",
    "Exportnachfrage (Ex)##Exports (Ex)",
    "Güternachfrage (N)##Demand for Goods (N)",
    "Nettogüternachfrage (D)##Net Demand for Goods (D)",
    "Ersparnis, pr. (S)##Saving, pr. (S)",
    "Budgetsaldo, Staat (BS)##Public Budget Surplus (BS)",
    "Außenbeitrag (AB)##Trade Surplus (AB)",
    "Güterangebot (X)##Supply of Goods (X)",
    "Einkommen (Y)##Income (Y)",
    "Lohneinkommen (YL)##Income from Wages (YL)",
    "Gew.-/Kapitaleinkommen (YU)##Income from Profits (YU)",
    "Importe (Im)##Imports (Im)",
    "Abgaben (T)##Taxes (T)",
    "Übertragungen (Tr)##Overall Transfers (Tr)",
    "verf. Einkommen (YV)##Disposable Income (YV)",
    "verf. Lohneinkommen (YLV)##Disposable Income from Wages (YLV)",
    "verf. Gew./Kap.eink. (YUV)##Disposable Income from Profits (YUV)",
    "Auslandspreisniveau (PA)##Foreign Price Level (PA)",
    "Preisniveau (P)##Price Level (P)",
    "Inflationsrate (gP)##Inflation Rate (gP)",
    "Produktivitätswachs. (ga)##Productivity Growth Rate (ga)",
    "Arbeitslosenquote (u)##Unemployment Rate (u)",
    "Beschäftigung (A)##Employment (A)",
    "Sachkapitalstock (K)##Real Capital Stock (K)",
    "Abschreibung (R)##Depreciation (R)",
    "Lohnsatz,nom. (wN)##Wage Rate, nom. (wN)",
    "Lohnsatz,real (w)##Wage Rate, real (w)",
    "Nominallohnwachst. (gwN)##Growth Rate of Nominal Wages (gwN)",
    "preisorient. heim. Angebot (YP)##Price-Oriented Dom. Supply (YP)",
    "Lohnstückkosten (LSK)##Unit Labor Cost (LSK)",
    "Lohnquote (LQ)##Wage Share Ratio",
    "Ersparnis,ungepl. (S,unpl)##Savings,unpl. (S,unpl)",
    "Investitionen,ungepl. (I,unpl)##Investment,unpl. (I,unpl)",
    "Ersparnis,ungew. (S,unw)##Savings,unw. (S,unw)",
    "Investitionen,ungew. (I,unw)##Investment,unw. (I,unw)",
};

const char* const kSectorTitles[SectorCount + 1] = {
    "",
    "Güter&nachfrage##Dema&nd for Goods",
    "Güter&angebot##&Supply of Goods",
    "(Um-) &Verteilung##(Re-) &Distribution",
    "&Wertpapiermarkt##&Bond Market",
    "&Devisenmarkt##&Exchange Market",
    "&Erwartungen##E&xpectations",
};

const char* const kCategoryTitles[SectorCount + 1][4] = {
    {"", "", "", ""},
    {"Konsum##Consumption", "Investitionen##Investment", "Staat##Government", "Exporte##Exports"},
    {"Produktion##Production", "Importe##Imports", "Preise##Prices", "Löhne##Wages"},
    {"Primärverteilung##Market Income Distribution", "Abgaben##Taxes", "Übertragungen##Transfers",
     ""},
    {"Zinsniveau##Interest Rate", "Geldnachfrage##Money Demand", "Geldangebot##Money Supply", ""},
    {"Wechselkurs(system)##Exchange Rate (System)",
     "Internationaler Kapitalverkehr##International Capital Flows", "", ""},
    {"", "", "", ""},
};

const char* const kCategoryLongTitles[SectorCount + 1][4] = {
    {"", "", "", ""},
    {"Konsum der privaten Haushalte##Private Consumption",
     "Investitionen des Unternehmenssektors##Investment of the Business Sector",
     "Staatliche Güternachfrage (Verbrauch und Investitionen)##Government Expenditure "
     "(Consumption and Investment)",
     "Güternachfrage des Auslands##Foreign Demand for Domestic Goods"},
    {"Produktionsfunktion##Production Function", "Importe##Imports",
     "Preisbildung##Formation of Prices", "Nominallohnbildung##Nominal Wage Development"},
    {"Lohnquote##Wage Share Ratio", "Abgaben an den Staat##Imposition of Taxes",
     "Staatliche Übertragungen##Granting of Transfers", ""},
    {"Nominelle Zinsbildung##Nominal Interest Rate Formation",
     "Reale Geldnachfrage der Nichtbanken##Real Money Demand of the Nonbanking Sector",
     "Nominelles Geldangebot des Finanziellen Sektors##Nominal Money Supply of the Banking "
     "Sector",
     ""},
    {"Nomineller Wechselkurs##Nominal Exchange Rate",
     "Nettokapitalimporte##Capital Account Surplus", "", ""},
    {"", "", "", ""},
};

// Number of categories, then the first parameter of each category.
constexpr int kGroups[6][5] = {
    {0, 0, 0, 0, 0},    {4, 1, 6, 12, 14},  {4, 16, 23, 28, 32},
    {3, 38, 39, 45, 0}, {3, 47, 48, 52, 0}, {2, 60, 61, 0, 0},
};

std::string SymbolOf(const std::string& name, int language) {
    const auto open = name.find('(');
    if (open == std::string::npos) return Translate("nicht belegt##no entry", language);
    const auto sep = name.find("##");
    const size_t end = (sep == std::string::npos ? name.size() : sep) - 1;
    if (end <= open) return {};
    return name.substr(open + 1, end - open - 1);
}

} // namespace

std::string Translate(std::string_view text, int language) {
    std::string rest(text);
    if (rest.find("##") == std::string::npos) rest += "##";
    std::string part;
    for (int k = 0; k < language; ++k) {
        const auto pos = rest.find("##");
        if (pos == std::string::npos) {
            part = rest;
            rest.clear();
        } else {
            part = rest.substr(0, pos);
            rest.erase(0, pos + 2);
        }
    }
    if (part.empty()) {
        const auto pos = text.find("##");
        return std::string(text.substr(0, pos));
    }
    return part;
}

std::string FillIn(std::string_view text, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(text.size() + 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const size_t k = static_cast<size_t>(text[i + 1] - '1');
            if (k < args.size()) {
                out += *(args.begin() + k);
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string TranslateCapitalised(std::string_view text, int language) {
    std::string s = Translate(text, language);
    size_t i = (!s.empty() && s[0] == '&') ? 1 : 0;
    if (i >= s.size()) return s;
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        s[i] = static_cast<char>(std::toupper(c));
    } else if (c == 0xC3 && i + 1 < s.size()) {
        // Latin-1 lower-case letters in UTF-8 (ä, ö, ü, ...) map to upper case by -0x20.
        const auto d = static_cast<unsigned char>(s[i + 1]);
        if (d >= 0xA0 && d <= 0xBE && d != 0xB7) s[i + 1] = static_cast<char>(d - 0x20);
    }
    return s;
}

const std::string& ParamName(int n) {
    static const auto names = [] {
        std::array<std::string, 65> a;
        for (int i = 0; i <= 64; ++i)
            a[i] = kParamNames[i];
        return a;
    }();
    return names[n];
}

const std::string& VarName(int n) {
    static const auto names = [] {
        std::array<std::string, 64> a;
        for (int i = 0; i <= 63; ++i)
            a[i] = kVarNames[i];
        return a;
    }();
    return names[n];
}

std::string ParamSymbol(int n, int t, int language) {
    if (t <= 0 && n == 55) return "MN(-oo)";
    if (t <= 0 && n == 56) return "MBN(-oo)";
    return SymbolOf(ParamName(n), language);
}

const std::string& ParamName(int n, bool moneyCreation) {
    static const std::string baseGrowth = "Geldbasiswachstumsrate,nom. (gMBN,aut)##Money Base "
                                          "Growth Rate,nom. (gMBN,aut)";
    return n == 54 && moneyCreation ? baseGrowth : ParamName(n);
}

std::string ParamSymbol(int n, int t, int language, bool moneyCreation) {
    if (n == 54) return SymbolOf(ParamName(n, moneyCreation), language);
    return ParamSymbol(n, t, language);
}

std::string VarSymbol(int n, int language) {
    return SymbolOf(VarName(n), language);
}

std::string ToMarkup(std::string symbol) {
    const size_t rounds = symbol.size();
    for (size_t k = 0; k < rounds; ++k) {
        auto pos = symbol.find('[');
        if (pos == std::string::npos) pos = symbol.find(']');
        if (pos != std::string::npos) {
            symbol[pos] = '\xA7'; // placeholder byte, widened to UTF-8 "§" below
            continue;
        }
        pos = symbol.find(',');
        if (pos != std::string::npos) symbol[pos] = '~';
    }
    std::string out;
    out.reserve(symbol.size() + 4);
    for (char c : symbol) {
        if (c == '\xA7')
            out += "\xC2\xA7";
        else
            out += c;
    }
    return out;
}

int SymbolIndex(std::string_view symbol) {
    if (symbol == "MN(-oo)") return 55;
    if (symbol == "MBN(-oo)") return 56;
    const std::string key = "(" + std::string(symbol) + ")";
    for (int n = 1; n <= 64; ++n)
        if (ParamName(n).find(key) != std::string::npos) return n;
    for (int n = 1; n <= 63; ++n)
        if (VarName(n).find(key) != std::string::npos) return 64 + n;
    return 0;
}

int FindParamByText(std::string_view text) {
    for (int n = 1; n <= 64; ++n)
        if (ParamName(n).find(text) != std::string::npos) return n;
    return 0;
}

int FindVarByText(std::string_view text) {
    for (int n = 1; n <= 63; ++n)
        if (VarName(n).find(text) != std::string::npos) return n;
    return 0;
}

const std::string& SectorTitle(int sector) {
    static const auto titles = [] {
        std::array<std::string, SectorCount + 1> a;
        for (int i = 0; i <= SectorCount; ++i)
            a[i] = kSectorTitles[i];
        return a;
    }();
    return titles[sector];
}

const std::string& CategoryTitle(int sector, int category) {
    static const auto titles = [] {
        std::array<std::array<std::string, 4>, SectorCount + 1> a;
        for (int s = 0; s <= SectorCount; ++s)
            for (int c = 0; c < 4; ++c)
                a[s][c] = kCategoryTitles[s][c];
        return a;
    }();
    return titles[sector][category - 1];
}

const std::string& CategoryLongTitle(int sector, int category) {
    static const auto titles = [] {
        std::array<std::array<std::string, 4>, SectorCount + 1> a;
        for (int s = 0; s <= SectorCount; ++s)
            for (int c = 0; c < 4; ++c)
                a[s][c] = kCategoryLongTitles[s][c];
        return a;
    }();
    return titles[sector][category - 1];
}

int CategoryCount(int sector) {
    return sector >= 1 && sector <= 5 ? kGroups[sector][0] : 0;
}

int CategoryFirst(int sector, int category) {
    return kGroups[sector][category == 0 ? 1 : category];
}

int CategoryLast(int sector, int category) {
    const int count = kGroups[sector][0];
    const int c = category == 0 ? count : category;
    if (c < count) return kGroups[sector][c + 1] - 1;
    return sector == 5 ? 64 : kGroups[sector + 1][1] - 1;
}

int CategorySize(int sector, int category) {
    return CategoryLast(sector, category) - CategoryFirst(sector, category) + 1;
}

ParameterRange AdmissibleRange(int n) {
    using K = ParameterRange::Kind;
    static constexpr K kinds[65] = {
        K::Free,
        K::NonNegative,
        K::Unit,
        K::Unit,
        K::Unit,
        K::NonNegative, // 1..5
        K::NonNegative,
        K::Unit,
        K::NonNegative,
        K::Free,
        K::NonNegative, // 6..10
        K::NonNegative,
        K::NonNegative,
        K::Free,
        K::NonNegative,
        K::NonNegative, // 11..15
        K::Positive,
        K::Positive,
        K::Positive,
        K::OpenUnit,
        K::OpenUnit, // 16..20
        K::Positive,
        K::Positive,
        K::NonNegative,
        K::Unit,
        K::NonNegative, // 21..25
        K::Positive,
        K::Free,
        K::NonNegative,
        K::NonNegative,
        K::Positive, // 26..30
        K::Positive,
        K::Positive,
        K::NonNegative,
        K::Unit,
        K::NonNegative, // 31..35
        K::Percent,
        K::Free,
        K::Percent,
        K::NonNegative,
        K::Unit, // 36..40
        K::NonNegative,
        K::NonNegative,
        K::Unit,
        K::Unit,
        K::NonNegative, // 41..45
        K::NonNegative,
        K::NonNegative,
        K::Positive,
        K::NonNegative,
        K::NonNegative, // 46..50
        K::NonNegative,
        K::Positive,
        K::Positive,
        K::Free,
        K::PositiveInPeriod0, // 51..55
        K::PositiveInPeriod0,
        K::Unit,
        K::Unit,
        K::Unit,
        K::Positive, // 56..60
        K::Free,
        K::NonNegative,
        K::NonNegative,
        K::HalfOpenUnit, // 61..64
    };
    ParameterRange r;
    r.kind = n >= 1 && n <= 64 ? kinds[n] : K::Free;
    switch (r.kind) {
    case K::NonNegative:
        r.minText = "0 <= ";
        break;
    case K::Unit:
        r.minText = "0 <= ";
        r.maxText = "1 >= ";
        break;
    case K::Positive:
    case K::PositiveInPeriod0:
        r.minText = "0 < ";
        break;
    case K::OpenUnit:
        r.minText = "0 < ";
        r.maxText = "1 > ";
        break;
    case K::Percent:
        r.minText = "0 <= ";
        r.maxText = "100 >= ";
        break;
    case K::HalfOpenUnit:
        r.minText = "0 <= ";
        r.maxText = "1 > ";
        break;
    case K::Free:
        break;
    }
    return r;
}

bool ParameterRange::Violated(int t, double x) const {
    switch (kind) {
    case NonNegative:
        return x < 0;
    case Unit:
        return x < 0 || x > 1;
    case Positive:
        return x <= 0;
    case OpenUnit:
        return x <= 0 || x >= 1;
    case Percent:
        return x < 0 || x > 100;
    case PositiveInPeriod0:
        return t == 0 && x <= 0;
    case HalfOpenUnit:
        return x < 0 || x >= 1;
    case Free:
        break;
    }
    return false;
}

const char* const ZeroRatiosText =
    "Bargeldquote b[M] und Mindestreservesatz r[SE] in t = %1 sind null (-> unendl. "
    "Geldschöpfungsmultiplikator).##Currency ratio b[M] and reserve ratio r[SE] in t = %1 are "
    "both zero (-> infinite money multiplier).";

bool CheckParameter(const Model& m, UserHost& host, int n, int t, double x,
                    const std::array<double, 64>& rowValues) {
    const ParameterRange range = AdmissibleRange(n);
    const bool notANumber = std::isnan(x);
    // Larger magnitudes overflow the period computation to infinity (or to nonsense that
    // still looks like a result); infinity itself is the extreme case of it.
    const bool tooLarge = !notANumber && std::fabs(x) > MaxParameterMagnitude;
    const bool bad = notANumber || tooLarge || range.Violated(t, x);
    const char* minText = range.minText;
    const char* maxText = range.maxText;
    const int lang = m.Language;
    const std::string restore = Translate(
        "Bisheriger Wert wird wiederhergestellt.##Previous value will be restored.", lang);
    if (bad) {
        const bool creation = m.Sw(18) == 1;
        std::string text = Translate("Unzulässige Eingabe für##Invalid input data for", lang) +
                           " " + Translate(ParamName(n, creation), lang) +
                           " in t = " + std::to_string(t) + "\r\n";
        const std::string symbol = ParamSymbol(n, t, lang, creation);
        if (notANumber) {
            text +=
                "\r\n" + Translate("Die Eingabe ist keine Zahl.##The entry is not a number.", lang);
        } else {
            if (minText) text += std::string("\r\nMinimum: ") + minText + symbol;
            if (maxText) text += std::string("\r\n") + "Maximum: " + maxText + symbol;
            if (tooLarge && !(maxText && x > 0) && !(minText && x < 0))
                text += std::string("\r\n") + "Maximum: 1E15 >= |" + symbol + "|";
        }
        host.PlaySound("SoNicht.wav");
        host.ShowMessage("Parameter Check", text, restore);
        return false;
    }
    if ((n == 57 && x == 0 && rowValues[57] == 0) || (n == 58 && x == 0 && rowValues[56] == 0)) {
        host.PlaySound("SoNicht.wav");
        host.ShowMessage("Parameter Check", FillIn(ZeroRatiosText, {std::to_string(t)}), restore);
        return false;
    }
    return true;
}

} // namespace tv
