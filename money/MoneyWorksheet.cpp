#include "money/MoneyWorksheet.h"

#include "core/Behaviour.h"
#include "core/Catalogue.h"
#include "core/Model.h"
#include "core/Symbols.h"

#include <algorithm>
#include <cmath>

namespace tv {

namespace {

enum Column { KR = 1, dUR = 2, MB = 3, UR = 4, MR = 5, BG = 6, SE = 7, M = 8 };

// The excess reserves are "ÜR" in German, "ER" in English; the other symbols are shared.
constexpr const char* AbsoluteHeadings[] = {"KR", "dÜR##dER", "MB", "ÜR##ER",
                                            "MR", "BG",       "SE", "M"};
constexpr const char* DifferenceHeadings[] = {"dKR", "ÜR##ER", "dMB", "dÜR##dER",
                                              "dMR", "dBG",    "dSE", "dM"};

} // namespace

int ClampWorksheetRounds(int rounds) {
    return std::clamp(rounds, 1, 100);
}

WorksheetValues ComputeWorksheet(const Model& m, int t, int rounds) {
    WorksheetValues v;
    v.Rounds = ClampWorksheetRounds(rounds);
    const int n = v.Rounds;
    for (auto& column : v.Round)
        column.assign(n + 1, 0.0);
    auto& c = v.Round;
    const double mn0 = m.GetVar(t - 1, var::MN);
    const double b = m.GetPar(t, par::bM), r = m.GetPar(t, par::rSE);
    for (int i = 0; i <= n; ++i)
        c[0][i] = i;

    c[KR][0] = mn0;
    c[dUR][0] = 0;
    c[MB][0] = MonetaryBase(m, t - 1);
    c[UR][0] = 0;
    c[MR][0] = Reserves(m, t - 1);
    c[BG][0] = Currency(m, t - 1);
    c[SE][0] = mn0 - Currency(m, t - 1);
    c[M][0] = mn0;

    for (int col = 1; col < WorksheetValues::Columns; ++col)
        c[col][1] = c[col][0];
    c[MB][1] = MonetaryBase(m, t);
    c[dUR][1] = c[UR][1] = MonetaryBase(m, t) - MonetaryBase(m, t - 1);

    for (int i = 2; i <= n; ++i) {
        c[KR][i] = c[KR][i - 1] + c[UR][i - 1];
        c[M][i] = c[KR][i];
        c[BG][i] = b * c[M][i];
        c[SE][i] = c[M][i] - c[BG][i];
        c[MR][i] = r * c[SE][i];
        c[UR][i] = c[UR][i - 1] - (c[BG][i] - c[BG][i - 1]) - (c[MR][i] - c[MR][i - 1]);
        c[dUR][i] = c[UR][i] - c[UR][i - 1];
        c[MB][i] = c[MB][i - 1];
    }

    const double mn1 = m.GetVar(t, var::MN);
    v.Limit[0] = 0;
    v.Limit[KR] = mn1;
    v.Limit[dUR] = 0;
    v.Limit[MB] = MonetaryBase(m, t);
    v.Limit[UR] = 0;
    v.Limit[MR] = Reserves(m, t);
    v.Limit[BG] = Currency(m, t);
    v.Limit[SE] = mn1 - Currency(m, t);
    v.Limit[M] = mn1;
    return v;
}

WorksheetTable BuildWorksheetTable(const Model& m, int t, const WorksheetValues& values,
                                   const WorksheetOptions& options, int language) {
    WorksheetTable table;
    const int n = values.Rounds;
    const auto& c = values.Round;
    table.Headings[0] = Translate("Runde##Round", language);
    for (int col = 1; col < WorksheetValues::Columns; ++col)
        table.Headings[col] =
            Translate(options.Differences ? DifferenceHeadings[col - 1] : AbsoluteHeadings[col - 1],
                      language) +
            (options.Real ? "" : "N");
    const std::string change =
        options.Differences ? " (" + Translate("Änderung##Change", language) + ")" : "";
    table.BaseStrip = Translate("Monetäre Basis##High-Powered Money", language) + change;
    table.MoneyStrip = Translate("Geldmenge##Money Supply", language) + change;

    const double divisor = options.Real ? m.GetVar(t, var::P) : 1.0;
    auto number = [&](double x) { return m.FormatNumber(x / divisor); };
    // The limit row and the difference to it: a money supply that is not a number (both
    // ratios 0) means the rounds have no limit.
    auto limitNumber = [&](double x) {
        return std::isfinite(x / divisor) ? number(x)
                                          : Translate("kein Grenzwert##no limit", language);
    };
    using Row = std::array<std::string, WorksheetValues::Columns>;

    for (int i = 0; i <= n; ++i) {
        Row row;
        row[0] = std::to_string(i);
        for (int col = 1; col < WorksheetValues::Columns; ++col) {
            double x = c[col][i];
            if (options.Differences) {
                if (i == 0)
                    x = 0;
                else if (col == dUR)
                    x = c[UR][i];
                else if (col == UR)
                    x = c[dUR][i];
                else
                    x = c[col][i] - c[col][i - 1];
            }
            row[col] = number(x);
        }
        table.Rows.push_back(row);
    }
    Row dots;
    dots[0] = "...";
    table.Rows.push_back(dots);

    Row limit, sum;
    limit[0] = options.Differences ? "0" : "oo";
    sum[0] = options.Differences ? Translate("SUMME##SUM", language) : "DIFF (-->0)";
    for (int col = 1; col < WorksheetValues::Columns; ++col) {
        limit[col] = options.Differences ? number(0.0) : limitNumber(values.Limit[col]);
        sum[col] =
            options.Differences && col == dUR ? "X" : limitNumber(values.Limit[col] - c[col][0]);
    }
    table.Rows.push_back(limit);
    table.Rows.push_back(sum);
    return table;
}

} // namespace tv
