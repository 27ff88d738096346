#include "TestModels.h"

#include "core/Symbols.h"

namespace tv::test {

void SetFrom(Model& m, int from, std::initializer_list<std::pair<int, double>> values) {
    for (int t = from; t <= m.Periods.RightEdge; ++t)
        for (auto [n, x] : values)
            m.SetModelPar(t, n, x);
}

void SetAll(Model& m, std::initializer_list<std::pair<int, double>> values) {
    SetFrom(m, -1, values);
}

Model StartModel() {
    Model m;
    m.InitialiseForProgramStart();
    return m;
}

Model KeynesianModel() {
    Model m = StartModel();
    SetAll(m, {{par::CAut, 100}, {par::cY, 0.8}, {par::IAut, 100}, {par::GAut, 100}});
    m.Periods.LastSolved = -1;
    return m;
}

Model ClosedISLMModel() {
    Model m = StartModel();
    SetAll(m, {{par::CAut, 100},
               {par::cY, 0.75},
               {par::tY, 0.2},
               {par::cr, 4},
               {par::IAut, 150},
               {par::bY, 0.05},
               {par::br, 10},
               {par::GAut, 200},
               {par::lY, 0.5},
               {par::li, 20},
               {par::LAut, 100},
               {par::MNAut, 600}});
    m.Switch[17] = 1;
    m.UpdateActiveParams();
    m.Periods.LastSolved = -1;
    return m;
}

Model BondMarketModel() {
    Model m = StartModel();
    SetAll(m, {{par::CAut, 100},  {par::cY, 0.75},   {par::tY, 0.2},     {par::cr, 4},
               {par::IAut, 150},  {par::bY, 0.05},   {par::br, 10},      {par::GAut, 200},
               {par::lY, 0.5},    {par::li, 20},     {par::LAut, 100},   {par::MNAut, 1000},
               {par::a, 1},       {par::APot, 1200}, {par::KExog, 2000}, {par::k, 1},
               {par::jAut, 0.25}, {par::jY, 0.1},    {par::Pu, 0.1},     {par::wNExog, 0.75},
               {par::wu, 0.5},    {par::uNat, 5},    {par::wgP, 1}});
    m.Switch[17] = 1;
    m.Switch[12] = 2;
    m.Switch[14] = 2;
    m.Switch[23] = 4;
    m.UpdateActiveParams();
    m.Periods.LastSolved = -1;
    return m;
}

Model OpenFlexibleModel() {
    Model m = StartModel();
    SetAll(m, {{par::CAut, 80},    {par::cY, 0.7},   {par::tY, 0.25},  {par::cr, 3},
               {par::IAut, 120},   {par::bY, 0.05},  {par::br, 8},     {par::GAut, 180},
               {par::ExAut, 100},  {par::xe, 60},    {par::ImAut, 20}, {par::mY, 0.1},
               {par::me, 40},      {par::lY, 0.5},   {par::li, 15},    {par::LAut, 100},
               {par::MBNAut, 150}, {par::bM, 0.2},   {par::rSE, 0.1},  {par::kdi, 20},
               {par::iA, 4},       {par::NKAut, 10}, {par::fNK, 0.3}});
    m.Switch[17] = 1;
    m.Switch[18] = 1;
    m.Switch[21] = 1;
    m.UpdateActiveParams();
    m.Periods.LastSolved = -1;
    return m;
}

} // namespace tv::test
