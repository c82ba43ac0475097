#include "engines/model/LpModel.h"

#include <cmath>

namespace {

constexpr double kEpsilon = 1e-9;  // SCIP's numerics/epsilon

}  // namespace

void addIndicator(LpModel& model, const LpIndicator& indicator)
{
    bool integral = true;
    for (int k = 0; k < indicator.count && integral; ++k) {
        const LpTerm& term = model.terms[static_cast<std::size_t>(indicator.first + k)];
        const double value = term.value;
        integral = model.columns[static_cast<std::size_t>(term.column)].type != VarType::Continuous
            && std::fabs(value - std::round(value)) <= kEpsilon;
    }
    ++(integral ? model.implicitSlacks : model.continuousSlacks);
    model.extraConstraints += 2;
    model.indicators.push_back(indicator);
}
