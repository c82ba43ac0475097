#pragma once

#include <string>
#include <vector>

#include "backends/gurobi/GurobiCApi.h"
#include "backends/gurobi/GurobiEnvironment.h"
#include "backends/gurobi/GurobiNames.h"

// A Gurobi model read from a file. It must be destroyed before the environment it was
// read with.
class GurobiModel {
public:
    // Reads the model; the library picks the format from the file name. Throws
    // GRBException, leaving the environment as it was.
    GurobiModel(GurobiEnvironment& environment, const std::string& path);
    ~GurobiModel();

    GurobiModel(const GurobiModel&) = delete;
    GurobiModel& operator=(const GurobiModel&) = delete;

    // Brings the model up to date and solves it. Throws GRBException.
    void optimize();

    // Throw GRBException when the library cannot give the value.
    int intAttribute(IntAttr attribute);
    double doubleAttribute(DoubleAttr attribute);
    // Every variable's value of the best solution, and every variable's name, in the
    // library's order. Throw GRBException.
    std::vector<double> variableValues();
    std::vector<std::string> variableNames();

    // A view of the model's own environment: parameters set on it apply to this model
    // only. It must not outlive the model.
    GurobiEnvironment environment();

private:
    void readCounts();
    void release();

    GRBmodel* m_model = nullptr;
    GRBenv* m_environment = nullptr;

    int m_constraintCount = 0;
    int m_variableCount = 0;
    int m_sosCount = 0;
    int m_quadraticCount = 0;
    int m_generalCount = 0;
};
