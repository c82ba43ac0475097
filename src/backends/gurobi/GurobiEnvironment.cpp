#include "backends/gurobi/GurobiEnvironment.h"

#include "backends/gurobi/GRBException.h"
#include "backends/gurobi/GurobiApi.h"
#include "backends/gurobi/GurobiLibrary.h"

namespace {

// The interface and library version the program is written against.
constexpr int kApiType = 1;
constexpr int kMajorVersion = 12;
constexpr int kMinorVersion = 0;
constexpr int kTechnicalVersion = 1;
// No compute server: its priority and idle timeout are left unset.
constexpr int kNoServerPriority = -9999999;
constexpr int kNoIdleTimeout = -1;

}  // namespace

GurobiEnvironment::GurobiEnvironment()
{
    const GurobiFunctions& api = gurobiApi();
    GRBenv* environment = nullptr;
    const int code = api.loadenvadv(&environment, nullptr, kApiType, kMajorVersion, kMinorVersion, kTechnicalVersion,
                                    nullptr, nullptr, nullptr, nullptr, kNoServerPriority, kNoIdleTimeout, nullptr,
                                    nullptr, nullptr, nullptr, nullptr, nullptr);
    if (code != 0) {
        // The library hands out an environment even on failure, to carry the message.
        GRBException error(gurobiErrorMessage(environment), code);
        if (environment)
            api.freeenv(environment);
        throw error;
    }
    m_environment = environment;
    m_owner = this;
}

GurobiEnvironment::GurobiEnvironment(GRBenv* environment) : m_environment(environment) {}

GurobiEnvironment::~GurobiEnvironment()
{
    if (m_owner != this || !m_environment)
        return;
    // The library is loaded: this object could not exist otherwise.
    if (const GurobiFunctions* functions = loadGurobiFunctions())
        functions->freeenv(m_environment);
    m_environment = nullptr;
}

void GurobiEnvironment::setDoubleParam(DoubleParam parameter, double value)
{
    checkGurobi(gurobiApi().setdblparam(m_environment, gurobiName(parameter), value), m_environment);
}

void GurobiEnvironment::setIntParam(IntParam parameter, int value)
{
    checkGurobi(gurobiApi().setintparam(m_environment, gurobiName(parameter), value), m_environment);
}

void GurobiEnvironment::start()
{
    checkGurobi(gurobiApi().startenv(m_environment), m_environment);
}

int GurobiEnvironment::parameterType(const char* name)
{
    return gurobiApi().getparamtype(m_environment, name);
}

void GurobiEnvironment::setNamedParam(const char* name, int value)
{
    checkGurobi(gurobiApi().setintparam(m_environment, name, value), m_environment);
}

void GurobiEnvironment::setNamedParam(const char* name, double value)
{
    checkGurobi(gurobiApi().setdblparam(m_environment, name, value), m_environment);
}

void GurobiEnvironment::setNamedParam(const char* name, const char* value)
{
    checkGurobi(gurobiApi().setstrparam(m_environment, name, value), m_environment);
}

void GurobiEnvironment::readParams(const char* path)
{
    checkGurobi(gurobiApi().readparams(m_environment, path), m_environment);
}
