#pragma once

// Numbers of the model's variables and parameters. The numbers are the keys everywhere
// (files, dialogs, windows, equations); these names only keep the equations readable.

namespace tv {

namespace var {
constexpr int YErw = 1, YLErw = 2, YUErw = 3, YVErw = 4, YLVErw = 5, YUVErw = 6, NErw = 7,
              ImErw = 8, DErw = 9, gPErw = 10, gaErw = 11, uErw = 12, i = 13, r = 14, rErw = 15,
              NK = 16, Z = 17, GSM = 18, LT = 19, LS = 20, L = 21, M = 22, MN = 23, gMN = 24,
              eN = 25, e = 26, C = 27, I = 28, G = 29, Ex = 30, N = 31, D = 32, S = 33, BS = 34,
              AB = 35, X = 36, Y = 37, YL = 38, YU = 39, Im = 40, T = 41, Tr = 42, YV = 43,
              YLV = 44, YUV = 45, PA = 46, P = 47, gP = 48, ga = 49, u = 50, A = 51, K = 52, R = 53,
              wN = 54, w = 55, gwN = 56, YP = 57, LSK = 58, LQ = 59, SUnpl = 60, IUnpl = 61,
              SUnw = 62, IUnw = 63;
} // namespace var

namespace par {
constexpr int CAut = 1, cY = 2, cYL = 3, cYU = 4, cr = 5, IAut = 6, bY = 7, bdY = 8, dK = 9,
              bYU = 10, br = 11, GAut = 12, gT = 13, ExAut = 14, xe = 15, a = 16, k = 17, q = 18,
              alpha = 19, beta = 20, APot = 21, KExog = 22, ImAut = 23, mY = 24, me = 25,
              PAExog = 26, gPAExog = 27, jAut = 28, jY = 29, Pu = 30, PExog = 31, wNExog = 32,
              wgP = 33, wga = 34, wu = 35, uNat = 36, wV = 37, LQExog = 38, TAut = 39, tY = 40,
              TLAut = 41, TUAut = 42, tYL = 43, tYU = 44, SBAut = 45, SubAut = 46, iExog = 47,
              lY = 48, LAut = 49, li = 50, iu = 51, MNAut = 52, MBNAut = 53, gMNAut = 54,
              dMHNAut = 55, dMBHNAut = 56, bM = 57, rSE = 58, nWR = 59, eNExog = 60, NKAut = 61,
              kdi = 62, iA = 63, fNK = 64;
} // namespace par

} // namespace tv
