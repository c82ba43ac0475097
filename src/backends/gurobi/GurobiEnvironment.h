#pragma once

#include "backends/gurobi/GurobiCApi.h"
#include "backends/gurobi/GurobiNames.h"

// A Gurobi environment. The object either owns the library's environment (it created it
// and frees it on destruction) or is a view of one that something else owns.
class GurobiEnvironment {
public:
    // Creates a local environment without a log file, ready for use. Throws GRBException.
    GurobiEnvironment();
    // A view: destroying it leaves the library's environment alone.
    explicit GurobiEnvironment(GRBenv* environment);
    ~GurobiEnvironment();

    // The owner's address is part of the state, so the object stays where it was made.
    GurobiEnvironment(const GurobiEnvironment&) = delete;
    GurobiEnvironment& operator=(const GurobiEnvironment&) = delete;

    // Each throws GRBException when the library refuses.
    void setDoubleParam(DoubleParam parameter, double value);
    void setIntParam(IntParam parameter, int value);
    void start();

    // The user's settings, by the library's own names. The type is 1 (int), 2 (double),
    // 3 (string), or below 1 for a name the library does not know. The others throw
    // GRBException when the library refuses.
    int parameterType(const char* name);
    void setNamedParam(const char* name, int value);
    void setNamedParam(const char* name, double value);
    void setNamedParam(const char* name, const char* value);
    void readParams(const char* path);

    GRBenv* libraryEnvironment() const { return m_environment; }

private:
    GRBenv* m_environment = nullptr;
    GurobiEnvironment* m_owner = nullptr;
};
