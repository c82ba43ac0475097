#include "engines/scipcompat/LpSolve.h"

#include <algorithm>

#include "engines/scipcompat/Interrupt.h"

namespace {

// Slices grow so that a long solve pays little for restarting GLPK's simplex, while Ctrl-C
// is still answered within a couple of seconds.
constexpr int kFirstSliceMillis = 250;
constexpr int kLongestSliceMillis = 2000;

LpResult fromStatus(int status)
{
    switch (status) {
    case GLP_OPT:
        return LpResult::Optimal;
    case GLP_NOFEAS:
        return LpResult::Infeasible;
    case GLP_UNBND:
        return LpResult::Unbounded;
    default:
        return LpResult::Failed;
    }
}

}  // namespace

LpResult solveLp(const SolveRequest& request, int& glpkCode)
{
    glp_smcp parameters;
    glp_init_smcp(&parameters);
    parameters.msg_lev = request.log ? GLP_MSG_ON : GLP_MSG_OFF;
    parameters.meth = GLP_PRIMAL;  // tells infeasible from unbounded without a second pass
    parameters.presolve = GLP_OFF;  // slices resume from the basis, which the presolver does not keep

    glp_scale_prob(request.problem, GLP_SF_AUTO);
    glp_adv_basis(request.problem, 0);

    bool basisRebuilt = false;
    int slice = kFirstSliceMillis;
    for (;;) {
        if (interruptRequested())
            return LpResult::Interrupted;
        const int remaining = remainingMillis(request);
        if (remaining == 0)
            return LpResult::TimeLimit;
        parameters.tm_lim = std::min(remaining, slice);
        glpkCode = glp_simplex(request.problem, &parameters);
        switch (glpkCode) {
        case 0: {
            const LpResult result = fromStatus(glp_get_status(request.problem));
            if (result == LpResult::Failed)
                glpkCode = -glp_get_status(request.problem);
            return result;
        }
        case GLP_ETMLIM:
            request.output->skippingRepeatedLine = true;
            slice = std::min(2 * slice, kLongestSliceMillis);
            break;
        case GLP_EBOUND:
            return LpResult::Infeasible;  // a variable whose bounds cross
        case GLP_EBADB:
        case GLP_ESING:
        case GLP_ECOND:
            if (basisRebuilt)
                return LpResult::Failed;
            glp_std_basis(request.problem);  // the all-slack basis is always valid
            basisRebuilt = true;
            break;
        default:
            return LpResult::Failed;
        }
    }
}

bool lpHasFeasiblePoint(glp_prob* problem)
{
    return glp_get_prim_stat(problem) == GLP_FEAS;
}
