#include "backends/gurobi/GurobiModel.h"

#include "backends/gurobi/GRBException.h"
#include "backends/gurobi/GurobiApi.h"
#include "backends/gurobi/GurobiLibrary.h"

namespace {

// GRB_ERROR_NULL_ARGUMENT, for a model the library gives no environment for.
constexpr int kNullArgument = 10002;

}  // namespace

GurobiModel::GurobiModel(GurobiEnvironment& environment, const std::string& path)
    : m_environment(environment.libraryEnvironment())
{
    const GurobiFunctions& api = gurobiApi();
    checkGurobi(api.readmodel(m_environment, path.c_str(), &m_model), m_environment);
    // From here on the model's own copy of the environment speaks for it.
    GRBenv* own = api.getenv(m_model);
    if (!own) {
        GRBException error(gurobiErrorMessage(m_environment), kNullArgument);
        api.freemodel(m_model);
        throw error;
    }
    m_environment = own;
    // A model whose sizes the library cannot give is refused here, at reading.
    try {
        readCounts();
    } catch (...) {
        release();
        throw;
    }
}

GurobiModel::~GurobiModel()
{
    release();
}

void GurobiModel::release()
{
    if (m_model) {
        if (const GurobiFunctions* functions = loadGurobiFunctions())
            functions->freemodel(m_model);
        m_model = nullptr;
    }
}

void GurobiModel::readCounts()
{
    const GurobiFunctions& api = gurobiApi();
    const IntAttr kinds[] = {IntAttr::NumVars, IntAttr::NumConstrs, IntAttr::NumSOS, IntAttr::NumQConstrs,
                             IntAttr::NumGenConstrs};
    for (const IntAttr kind : kinds)
        checkGurobi(api.prefetchattr(m_model, gurobiName(kind)), m_environment);
    int* const counts[] = {&m_variableCount, &m_constraintCount, &m_sosCount, &m_quadraticCount, &m_generalCount};
    for (std::size_t i = 0; i < std::size(kinds); ++i)
        checkGurobi(api.getintattr(m_model, gurobiName(kinds[i]), counts[i]), m_environment);
}

void GurobiModel::optimize()
{
    const GurobiFunctions& api = gurobiApi();
    checkGurobi(api.updatemodel(m_model), m_environment);
    checkGurobi(api.optimize(m_model), m_environment);
}

int GurobiModel::intAttribute(IntAttr attribute)
{
    int value = 0;
    checkGurobi(gurobiApi().getintattr(m_model, gurobiName(attribute), &value), m_environment);
    return value;
}

double GurobiModel::doubleAttribute(DoubleAttr attribute)
{
    double value = 0;
    checkGurobi(gurobiApi().getdblattr(m_model, gurobiName(attribute), &value), m_environment);
    return value;
}

std::vector<double> GurobiModel::variableValues()
{
    std::vector<double> values(static_cast<std::size_t>(m_variableCount));
    if (m_variableCount > 0)
        checkGurobi(gurobiApi().getdblattrarray(m_model, gurobiName(VariableAttr::X), 0, m_variableCount, values.data()),
                    m_environment);
    return values;
}

std::vector<std::string> GurobiModel::variableNames()
{
    // The library's own texts, valid until the model changes.
    std::vector<char*> texts(static_cast<std::size_t>(m_variableCount), nullptr);
    if (m_variableCount > 0)
        checkGurobi(gurobiApi().getstrattrarray(m_model, gurobiName(VariableAttr::VarName), 0, m_variableCount,
                                                texts.data()),
                    m_environment);
    std::vector<std::string> names;
    names.reserve(texts.size());
    for (const char* text : texts)
        names.emplace_back(text != nullptr ? text : "");
    return names;
}

GurobiEnvironment GurobiModel::environment()
{
    return GurobiEnvironment(m_environment);
}
