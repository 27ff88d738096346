#pragma once

#include "core/PeriodSteps.h"

#include <vector>

// The inputs of each step of the period computation: the quantities its function reads in
// the model's current switches and expectation settings.
namespace tv::step_inputs {

using List = std::vector<StepInput>;

void PA(const Model& m, int t, int run, List& out);
void K(const Model& m, int t, int run, List& out);
void R(const Model& m, int t, int run, List& out);
void NErw(const Model& m, int t, int run, List& out);
void ImErw(const Model& m, int t, int run, List& out);
void DErw(const Model& m, int t, int run, List& out);
void Y(const Model& m, int t, int run, List& out);
void A(const Model& m, int t, int run, List& out);
void ga(const Model& m, int t, int run, List& out);
void u(const Model& m, int t, int run, List& out);
void gPErw(const Model& m, int t, int run, List& out);
void gaErw(const Model& m, int t, int run, List& out);
void uErw(const Model& m, int t, int run, List& out);
void wN(const Model& m, int t, int run, List& out);
void gwN(const Model& m, int t, int run, List& out);
void LSK(const Model& m, int t, int run, List& out);
void YP(const Model& m, int t, int run, List& out);
void P(const Model& m, int t, int run, List& out);
void gP(const Model& m, int t, int run, List& out);
void w(const Model& m, int t, int run, List& out);
void LQ(const Model& m, int t, int run, List& out);
void YL(const Model& m, int t, int run, List& out);
void YU(const Model& m, int t, int run, List& out);
void YLErw(const Model& m, int t, int run, List& out);
void YUErw(const Model& m, int t, int run, List& out);
void YErw(const Model& m, int t, int run, List& out);
void YLVErw(const Model& m, int t, int run, List& out);
void YUVErw(const Model& m, int t, int run, List& out);
void YVErw(const Model& m, int t, int run, List& out);
void InterestAndMoney(const Model& m, int t, int run, List& out);
void r(const Model& m, int t, int run, List& out);
void rErw(const Model& m, int t, int run, List& out);
void MN(const Model& m, int t, int run, List& out);
void gMN(const Model& m, int t, int run, List& out);
void LT(const Model& m, int t, int run, List& out);
void LS(const Model& m, int t, int run, List& out);
void L(const Model& m, int t, int run, List& out);
void eN(const Model& m, int t, int run, List& out);
void Z(const Model& m, int t, int run, List& out);
void e(const Model& m, int t, int run, List& out);
void NK(const Model& m, int t, int run, List& out);
void C(const Model& m, int t, int run, List& out);
void I(const Model& m, int t, int run, List& out);
void G(const Model& m, int t, int run, List& out);
void Ex(const Model& m, int t, int run, List& out);
void N(const Model& m, int t, int run, List& out);
void Im(const Model& m, int t, int run, List& out);
void D(const Model& m, int t, int run, List& out);
void X(const Model& m, int t, int run, List& out);
void S(const Model& m, int t, int run, List& out);
void BS(const Model& m, int t, int run, List& out);
void AB(const Model& m, int t, int run, List& out);
void YLV(const Model& m, int t, int run, List& out);
void YUV(const Model& m, int t, int run, List& out);
void YV(const Model& m, int t, int run, List& out);
void T(const Model& m, int t, int run, List& out);
void Tr(const Model& m, int t, int run, List& out);
void SUnpl(const Model& m, int t, int run, List& out);
void SUnw(const Model& m, int t, int run, List& out);
void IUnpl(const Model& m, int t, int run, List& out);
void IUnw(const Model& m, int t, int run, List& out);

} // namespace tv::step_inputs
