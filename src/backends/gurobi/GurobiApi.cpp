#include "backends/gurobi/GurobiApi.h"

#include "backends/gurobi/GRBException.h"
#include "backends/gurobi/GurobiLibrary.h"

namespace {

// Not a code of the library's own: the library itself is missing or incomplete.
constexpr int kLibraryUnavailable = -1;

}  // namespace

const GurobiFunctions& gurobiApi()
{
    const GurobiFunctions* functions = loadGurobiFunctions();
    if (!functions)
        throw GRBException(std::string("Bilioteca '") + kGurobiLibraryName + "' não encontrada", kLibraryUnavailable);
    return *functions;
}

std::string gurobiErrorMessage(GRBenv* environment)
{
    const GurobiFunctions* functions = loadGurobiFunctions();
    if (!functions || !environment)
        return {};
    const char* message = functions->geterrormsg(environment);
    return message ? message : "";
}

void checkGurobi(int code, GRBenv* messageSource)
{
    if (code != 0)
        throw GRBException(gurobiErrorMessage(messageSource), code);
}
