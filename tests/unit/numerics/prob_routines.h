// Every scalar probability routine by its name, with its arguments
// unpacked from a row of doubles: the lookup of the reference-table tests.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "numerics/prob.h"
#include "zu.h"

namespace zu::test {

using Args = std::vector<double>;
using Routine = std::function<double(const Args&)>;

inline int I(double x) { return static_cast<int>(x); }

// Each routine by its name, with its arguments unpacked.
inline const std::map<std::string, Routine>& Routines() {
    static const std::map<std::string, Routine> table = {
        {"DProbNormal", [](const Args& a) { return DProbNormal(a[0]); }},
        {"DTailProbNormal", [](const Args& a) { return DTailProbNormal(a[0]); }},
        {"DDensNormal", [](const Args& a) { return DDensNormal(a[0]); }},
        {"DQuanNormal", [](const Args& a) { return DQuanNormal(a[0]); }},
        {"DTailProbT", [](const Args& a) { return DTailProbT(a[0], I(a[1])); }},
        {"DProbT", [](const Args& a) { return DProbT(a[0], I(a[1])); }},
        {"DDensT", [](const Args& a) { return DDensT(a[0], a[1]); }},
        {"DQuanT", [](const Args& a) { return DQuanT(a[0], I(a[1])); }},
        {"DQuanTD", [](const Args& a) { return DQuanTD(a[0], a[1]); }},
        {"DProbTNc", [](const Args& a) { return DProbTNc(a[0], a[1], a[2]); }},
        {"DProbChi", [](const Args& a) { return DProbChi(a[0], a[1]); }},
        {"DTailProbChi", [](const Args& a) { return DTailProbChi(a[0], a[1]); }},
        {"DDensChi", [](const Args& a) { return DDensChi(a[0], a[1]); }},
        {"DQuanChi", [](const Args& a) { return DQuanChi(a[0], a[1]); }},
        {"DProbChiNc", [](const Args& a) { return DProbChiNc(a[0], a[1], a[2]); }},
        {"DProbF", [](const Args& a) { return DProbF(a[0], a[1], a[2]); }},
        {"DTailProbF", [](const Args& a) { return DTailProbF(a[0], a[1], a[2]); }},
        {"DDensF", [](const Args& a) { return DDensF(a[0], a[1], a[2]); }},
        {"DQuanF", [](const Args& a) { return DQuanF(a[0], a[1], a[2]); }},
        {"DProbFNc", [](const Args& a) { return DProbFNc(a[0], a[1], a[2], a[3]); }},
        {"DProbGamma", [](const Args& a) { return DProbGamma(a[0], a[1], a[2]); }},
        {"DDensGamma", [](const Args& a) { return DDensGamma(a[0], a[1], a[2]); }},
        {"DQuanGamma", [](const Args& a) { return DQuanGamma(a[0], a[1], a[2]); }},
        {"DProbBeta", [](const Args& a) { return DProbBeta(a[0], a[1], a[2]); }},
        {"DDensBeta", [](const Args& a) { return DDensBeta(a[0], a[1], a[2]); }},
        {"DQuanBeta", [](const Args& a) { return DQuanBeta(a[0], a[1], a[2]); }},
        {"DProbBetaNc", [](const Args& a) { return DProbBetaNc(a[0], a[1], a[2], a[3]); }},
        {"DProbExp", [](const Args& a) { return DProbExp(a[0], a[1]); }},
        {"DDensExp", [](const Args& a) { return DDensExp(a[0], a[1]); }},
        {"DQuanExp", [](const Args& a) { return DQuanExp(a[0], a[1]); }},
        {"DProbLogistic", [](const Args& a) { return DProbLogistic(a[0], a[1], a[2]); }},
        {"DDensLogistic", [](const Args& a) { return DDensLogistic(a[0], a[1], a[2]); }},
        {"DQuanLogistic", [](const Args& a) { return DQuanLogistic(a[0], a[1], a[2]); }},
        {"DProbCauchy", [](const Args& a) { return DProbCauchy(a[0]); }},
        {"DDensCauchy", [](const Args& a) { return DDensCauchy(a[0]); }},
        {"DQuanCauchy", [](const Args& a) { return DQuanCauchy(a[0]); }},
        {"DProbLogNormal", [](const Args& a) { return DProbLogNormal(a[0]); }},
        {"DDensLogNormal", [](const Args& a) { return DDensLogNormal(a[0]); }},
        {"DQuanLogNormal", [](const Args& a) { return DQuanLogNormal(a[0]); }},
        {"DProbWeibull", [](const Args& a) { return DProbWeibull(a[0], a[1], a[2]); }},
        {"DDensWeibull", [](const Args& a) { return DDensWeibull(a[0], a[1], a[2]); }},
        {"DQuanWeibull", [](const Args& a) { return DQuanWeibull(a[0], a[1], a[2]); }},
        {"DProbExtremeValue", [](const Args& a) { return DProbExtremeValue(a[0], a[1], a[2]); }},
        {"DDensExtremeValue", [](const Args& a) { return DDensExtremeValue(a[0], a[1], a[2]); }},
        {"DQuanExtremeValue", [](const Args& a) { return DQuanExtremeValue(a[0], a[1], a[2]); }},
        {"DProbPareto", [](const Args& a) { return DProbPareto(a[0], a[1], a[2]); }},
        {"DDensPareto", [](const Args& a) { return DDensPareto(a[0], a[1], a[2]); }},
        {"DQuanPareto", [](const Args& a) { return DQuanPareto(a[0], a[1], a[2]); }},
        {"DProbInvGaussian", [](const Args& a) { return DProbInvGaussian(a[0], a[1], a[2]); }},
        {"DDensInvGaussian", [](const Args& a) { return DDensInvGaussian(a[0], a[1], a[2]); }},
        {"DProbMises", [](const Args& a) { return DProbMises(a[0], a[1], a[2]); }},
        {"DDensMises", [](const Args& a) { return DDensMises(a[0], a[1], a[2]); }},
        {"DProbBinomial", [](const Args& a) { return DProbBinomial(a[0], I(a[1]), a[2]); }},
        {"DDensBinomial", [](const Args& a) { return DDensBinomial(a[0], I(a[1]), a[2]); }},
        {"DQuanBinomial", [](const Args& a) { return DQuanBinomial(a[0], I(a[1]), a[2]); }},
        {"DProbGeometric", [](const Args& a) { return DProbGeometric(a[0], a[1]); }},
        {"DDensGeometric", [](const Args& a) { return DDensGeometric(a[0], a[1]); }},
        {"DQuanGeometric", [](const Args& a) { return DQuanGeometric(a[0], a[1]); }},
        {"DProbHypergeometric", [](const Args& a) { return DProbHypergeometric(a[0], I(a[1]), I(a[2]), I(a[3])); }},
        {"DDensHypergeometric", [](const Args& a) { return DDensHypergeometric(a[0], I(a[1]), I(a[2]), I(a[3])); }},
        {"DQuanHypergeometric", [](const Args& a) { return DQuanHypergeometric(a[0], I(a[1]), I(a[2]), I(a[3])); }},
        {"DProbNegBin", [](const Args& a) { return DProbNegBin(a[0], I(a[1]), a[2]); }},
        {"DDensNegBin", [](const Args& a) { return DDensNegBin(a[0], I(a[1]), a[2]); }},
        {"DQuanNegBin", [](const Args& a) { return DQuanNegBin(a[0], I(a[1]), a[2]); }},
        {"DProbPoisson", [](const Args& a) { return DProbPoisson(a[0], a[1]); }},
        {"DDensPoisson", [](const Args& a) { return DDensPoisson(a[0], a[1]); }},
        {"DQuanPoisson", [](const Args& a) { return DQuanPoisson(a[0], a[1]); }},
        {"DProbLogarithmic", [](const Args& a) { return DProbLogarithmic(a[0], a[1]); }},
        {"DDensLogarithmic", [](const Args& a) { return DDensLogarithmic(a[0], a[1]); }},
        {"DProbBVN", [](const Args& a) { return DProbBVN(a[0], a[1], a[2]); }},
        {"DDensGH", [](const Args& a) { return DDensGH(a[0], a[1], a[2], a[3], a[4]); }},
        {"DDensGIG", [](const Args& a) { return DDensGIG(a[0], a[1], a[2], a[3]); }},
        {"DErf", [](const Args& a) { return DErf(a[0]); }},
        {"StudentTail", [](const Args& a) { return zu::numerics::StudentUpperTail(a[0], a[1]); }},
        {"StudentLower", [](const Args& a) { return zu::numerics::StudentLowerTail(a[0], a[1]); }},
        {"DLogGamma", [](const Args& a) { return DLogGamma(a[0]); }},
        {"DGammaFunc", [](const Args& a) { return DGammaFunc(a[0], a[1]); }},
        {"DBetaFunc", [](const Args& a) { return DBetaFunc(a[0], a[1], a[2]); }},
        {"DPolyGamma", [](const Args& a) { return DPolyGamma(a[0], I(a[1])); }},
        {"DBinomial", [](const Args& a) { return DBinomial(I(a[0]), I(a[1])); }},
        {"DFactorial", [](const Args& a) { return DFactorial(I(a[0])); }},
    };
    return table;
}

}  // namespace zu::test
