#include "core/EquationText.h"

#include "core/Catalogue.h"

namespace tv {

namespace {

// The texts keep the spacing and the small slips students have always seen on these pages.
void GoodsDemand(const Switches& s, int category, EquationLines& e) {
    switch (category) {
    case 1:
        e.Main = s[1] == 1 ? "C = C~aut~ + c§YL§*YLV + c§YU§*YUV - c§r§*r"
                           : "C = C~aut~ + c§Y§*YV - c§r§*r";
        if (s[2] == 1) e.Main += " + S~unw~(t-1)";
        break;
    case 2:
        if (s[3] == 1) {
            e.Main = "I = I~aut~ + b§dY§*dY";
            if (s[4] == 1) e.Second = "b§dY§*dY >= - d§K§*K";
        } else if (s[3] == 0) {
            e.Main = "I = I~aut~ + b§Y§*Y";
        }
        e.Main += " + b§YU§*YUV - b§r§*r";
        if (s[5] == 1) e.Main += " - I~unw~(t-1)";
        break;
    case 3:
        e.Main = "G = G~aut~ + g§T§*T";
        break;
    case 4:
        e.Main = "Ex = Ex~aut~ + x§e§*e";
        break;
    }
}

constexpr const char* PriceFloor = "Preisuntergrenze: P >= P~u~##Price floor: P >= P~u~";

void GoodsSupply(const Switches& s, int category, EquationLines& e) {
    const std::string tzr = std::to_string(s[23]);
    switch (category) {
    case 1:
        e.Main = s[6] == 1 ? "Y = q*(A~alpha~)*(K~beta~)" : "Y = min(a*A, k*K)";
        if (s[8] == 0)
            e.Second = "K = K(-1) + I~tats~(-1) für t>0##K = K(-1) + I~tats~(-1) for t>0";
        break;
    case 2:
        e.Main =
            s[9] == 1 ? "Im = Im~aut~ + m§Y§*Y~erw~ + m§e§/e" : "Im = Im~aut~ + m§Y§*Y + m§e§/e";
        if (s[10] == 1) e.Main += " - Im~unw~(t-1)";
        e.Second = s[11] != 0 ? "PA = (1 + gPA%)*PA(-TZR);  gPA = gPA~exog~" : "PA = PA~exog~";
        break;
    case 3:
        switch (s[12]) {
        case 0:
            e.Main = "P = P~exog~";
            break;
        case 1:
            e.Main = "P = (dA/dY)*w~nom~";
            e.Notes.push_back(
                "Bei gewinnmaximierendem Preissetzungsverhalten der Güteranbieter dehnen diese "
                "die Produktion solange aus, bis das Wertgrenzprodukt der Arbeit dem "
                "Güterpreisniveau entspricht oder die Kapazitätsgrenze erreicht ist.\r\nEine "
                "explizite Modellierung der Preisbildung ist daher nicht erforderlich.##With "
                "profit-maximising pricing, the suppliers of goods expand production until the "
                "value of the marginal product of labour equals the price level of goods or the "
                "capacity limit is reached.\r\nAn explicit model of price setting is therefore "
                "not needed.");
            break;
        case 2:
            e.Main = "P = [1 + j~aut~ + j§Y§*(Y/Y~pot~)]*LSK";
            e.Second = PriceFloor;
            break;
        case 3:
            e.Main = "P = (Y/X)*[1 + j~aut~ + j§Y§*(Y/Y~pot~)]*LSK + (Im/X)*e~nom~*PA";
            e.Second = PriceFloor;
            break;
        }
        break;
    case 4:
        switch (s[14]) {
        case 0:
            e.Main = "wN = wN~exog~";
            break;
        case 1:
            e.Main = "wN = (1 + gwN(TVP)%)*wN(-" + tzr + "))";
            e.Second = "gwN = w§gP§*gP~erw~ + w§ga§*ga~erw~ + w§u§*(u~nat~-u~erw~) + w§V§";
            break;
        case 2:
            e.Main = "wN = (1 + gwNV(TVP)% + gwNM%)*wN(TVP-" + tzr + ")";
            e.Second = "gwNV = w§gP§*gP~erw~ + w§ga§*ga~erw~ + w§V§";
            e.Third = "gwNM = w§u§*(u~nat~-u~erw~)";
            break;
        }
        break;
    }
}

void Distribution(const Switches& s, int category, EquationLines& e) {
    switch (category) {
    case 1:
        e.Main = "Y = YL + YU = LQ%*Y + (1-LQ%)*Y";
        if (s[15] != 0 || s[12] != 0 || s[14] != 0) {
            e.Second = "mit: LQ = (w~nom~*A)/(P*Y)*100##with: LQ = (w~nom~*A)/(P*Y)*100";
            e.Notes.push_back(
                "Die Lohnquote bestimmt sich als Quotient aus Lohnsumme (wN*A) und nominellem "
                "Volkseinkommen (P*Y). Sie ist damit abhängig vom Nominallohnsatz (w,nom), vom "
                "Preisniveau (P) und von der durchschnittlichen Arbeitsproduktivität (a = "
                "Y/A).##The wage share is the ratio of the wage bill (wN*A) to nominal national "
                "income (P*Y). It thus depends on the nominal wage rate (w,nom), the price level "
                "(P) and average labour productivity (a = Y/A).");
        } else {
            e.Second = "mit: LQ = LQ~exog~##with: LQ = LQ~exog~";
        }
        break;
    case 2:
        e.Main = s[16] == 1 ? "T = TL~aut~ + TU~aut~ + t§YL§*YL + t§YU§*YU" : "T = T~aut~ + t§Y§*Y";
        break;
    case 3:
        e.Main = "Tr = SB~aut~ + Sub~aut~";
        break;
    }
}

struct MoneySupplyRow {
    const char* Main;
    const char* Second;
    const char* Third;
};

// Indexed by 4 * switch 20 + 2 * switch 19 + switch 18; "#" stands for MZZR.
constexpr MoneySupplyRow kMoneySupply[8] = {
    {"MN = MN~aut~", "", ""},
    {"MN = BGN + SEN  MBN = BGN + MRN", "BGN = b§M§*MN  MRN = r§SE§*SEN  MBN = MBN~aut~", ""},
    {"MN = MN(-1) + dMHN + dWRN", "dMHN = dMHN~aut~ - n§WR§*dWRN", "dWRN = P*Z"},
    {"MN = BGN + SEN   und   MBN = BGN + MRN##MN = BGN + SEN   and   MBN = BGN + MRN",
     "BGN = b§M§*MN  MRN = r§SE§*SEN  dMBN = dMBHN + dWRN",
     "dMBHN = dMBHN~aut~ - n§WR§*dWRN   mit: WRN = P*Z##dMBHN = dMBHN~aut~ - n§WR§*dWRN   with: "
     "WRN = P*Z"},
    {"MN = (1+gMN/100)*MN(-#)", "", ""},
    {"MN = BGN + SEN und MBN = BGN + MRN##MN = BGN + SEN and MBN = BGN + MRN",
     "BGN = b§M§*MN  MRN = r§SE§*SEN  MBN = (1+gMBN/100)*MBN(-#)", ""},
    {"MN = MN(-1) + dMHN + dWRN",
     "tGP: dMHN = gMN/100*MN(-1) - n§WR§*dWRN; sonst: dMHN = -n§WR§*dWRN##tGP: dMHN = "
     "gMN/100*MN(-1) - n§WR§*dWRN; else: dMHN = -n§WR§*dWRN",
     "dWRN = Z*P"},
    {"MN = BGN + SEN   und   MBN = BGN + MRN##MN = BGN + SEN   and   MBN = BGN + MRN",
     "BGN = b§M§*MN  MRN = r§SE§*SEN  MBN = MBN(-1) + dMBHN + dWRN",
     "tGP: dMBNH = gMBN/100*MBN(-1) - n§WR§*dWRN; sonst: dMBHN = -n§WR§*dWRN##tGP: dMBNH = "
     "gMBN/100*MBN(-1) - n§WR§*dWRN; else: dMBHN = -n§WR§*dWRN"},
};

std::string WithMzzr(const char* text, int mzzr) {
    std::string s = text;
    // "(-#)", not the "##" between the halves of a bilingual line.
    if (auto p = s.find("(-#)"); p != std::string::npos) s.replace(p + 2, 1, std::to_string(mzzr));
    return s;
}

void BondMarket(const Switches& s, int language, int category, EquationLines& e) {
    switch (category) {
    case 1: {
        e.Notes.push_back(Translate("Wertpapiernachfrage##Demand for Bonds", language) + " = " +
                          Translate("Wertpapierangebot##Supply of Bonds", language) + "\r\n");
        const bool capital = s[17] == 1;
        e.Notes.push_back(Translate("Nachfrage##Demand", language) +
                          (capital ? ": WN = KA + M" : ": WN = M") + "\r\n" +
                          Translate("Angebot##Supply", language) +
                          (capital ? ": WA = KN + L" : ": WA = L"));
        break;
    }
    case 2:
        e.Main = "L = LT + LS";
        e.Second = "LT = l§Y§*Y";
        e.Third = "LS =  L~aut~ - l§i§*i  mit:  i >= i~u##LS =  L~aut~ - l§i§*i  with:  i >= i~u";
        break;
    case 3: {
        // Only the listed combinations of 0 and 1 have a text.
        if (s[20] > 1 || s[19] > 1 || s[18] > 1) break;
        const MoneySupplyRow& row = kMoneySupply[4 * s[20] + 2 * s[19] + s[18]];
        e.Main = WithMzzr(row.Main, s[22]);
        e.Second = WithMzzr(row.Second, s[22]);
        e.Third = row.Third;
        break;
    }
    }
}

void ForeignExchange(const Switches& s, int category, EquationLines& e) {
    switch (category) {
    case 1:
        if (s[21] != 1) break;
        e.Notes.push_back("Der Wechselkurs bildet sich so, dass Angebot und Nachfrage nach "
                          "Devisen zum Ausgleich gebracht werden.\r\n Die Möglichkeit eines "
                          "Devisenmarktgleichgewichts setzt wechselkursreagible "
                          "Güternachfrage (Exporte, Importe) voraus.##\r\nThe exchange rate "
                          "balances the foreign exchange market.\r\nNote: This requires exports "
                          "and/or imports responding to exchange rate variations.");
        break;
    case 2:
        e.Main = "NK = f§NK§*NK(-1) + (1-f§NK§)*(NK~aut~ + k§di§*(i - iA))";
        break;
    }
}

} // namespace

EquationLines EquationText(const Switches& sw, int language, int sector, int category) {
    EquationLines e;
    switch (sector) {
    case 1:
        GoodsDemand(sw, category, e);
        break;
    case 2:
        GoodsSupply(sw, category, e);
        break;
    case 3:
        Distribution(sw, category, e);
        break;
    case 4:
        BondMarket(sw, language, category, e);
        break;
    case 5:
        ForeignExchange(sw, category, e);
        break;
    }
    // Formulas are the same in both languages; lines with words are bilingual.
    for (std::string* line : {&e.Main, &e.Second, &e.Third})
        *line = Translate(*line, language);
    for (std::string& note : e.Notes)
        note = Translate(note, language);
    return e;
}

} // namespace tv
