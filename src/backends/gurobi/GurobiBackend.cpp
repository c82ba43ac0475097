#include "backends/gurobi/GurobiBackend.h"

#include <iostream>
#include <optional>

#include "backends/ModelFile.h"
#include "backends/ReadClock.h"
#include "backends/gurobi/GRBException.h"
#include "backends/gurobi/GurobiEnvironment.h"
#include "backends/gurobi/GurobiModel.h"
#include "report/Formats.h"
#include "report/GurobiReport.h"
#include "report/ModelReport.h"
#include "report/ResultRows.h"
#include "shell/Console.h"
#include "shell/Settings.h"

namespace {

void reportLibraryError(const GRBException& error)
{
    printError("Gurobi error: " + error.message() + "\n");
}

// The environment of one model, with the log switched off when the user asked for
// silence; empty, with the error reported, when the library refuses.
bool prepareEnvironment(std::optional<GurobiEnvironment>& environment)
{
    try {
        environment.emplace();
        if (g_verbose == "n")
            environment->setIntParam(IntParam::OutputFlag, 0);
        environment->start();
        return true;
    } catch (const GRBException& error) {
        reportLibraryError(error);
        environment.reset();
        return false;
    }
}

// Reads the model, timing it into g_readTime; empty when it cannot be read.
void readModel(GurobiEnvironment& environment, const std::string& path, std::optional<GurobiModel>& model)
{
    const long long t0 = readClockMillis();
    std::optional<GRBException> failure;
    if (isRegularFile(path)) {
        try {
            model.emplace(environment, path);
        } catch (const GRBException& error) {
            failure = error;
        }
    }
    g_readTime = readSeconds(t0, readClockMillis());
    if (failure)
        reportLibraryError(*failure);
}

// A limit the library refuses is reported, and the model is solved without one.
void applyTimeLimit(GurobiModel& model)
{
    if (g_timeLimit == 0)
        return;
    try {
        model.environment().setDoubleParam(DoubleParam::TimeLimit, g_timeLimit);
    } catch (const GRBException& error) {
        reportLibraryError(error);
    }
}

void writeSummary(GurobiModel& model)
{
    try {
        const int status = model.intAttribute(IntAttr::Status);
        if (status == 2) {
            const double objective = model.doubleAttribute(DoubleAttr::ObjVal);
            const double runtime = model.doubleAttribute(DoubleAttr::Runtime);
            std::cout << "Optimal objective: " << consoleNumber(objective) << std::endl;
            std::cout << "Time: " << consoleNumber(runtime) << std::endl;
        } else if (status == 3) {
            std::cout << "Model is infeasible" << std::endl;
        }
    } catch (const GRBException& error) {
        reportLibraryError(error);
    }
}

void optimizeAndReport(GurobiModel& model, const std::string& path)
{
    applyTimeLimit(model);
    try {
        model.optimize();
    } catch (const GRBException& error) {
        if (error.errorCode() == kGurobiOutOfMemory) {
            printError("Out of memory error: " + error.message() + "\n");
            reportGurobiResult(model, path, true);
        } else {
            reportLibraryError(error);
            reportFailedSolve(path, tryDoubleAttribute(model, DoubleAttr::Runtime));
        }
        return;
    }
    writeSummary(model);
    reportGurobiResult(model, path, false);
}

}  // namespace

bool solveWithGurobi(std::string path)
{
    if (!hasLpSuffix(path))
        return false;

    std::optional<GurobiEnvironment> environment;
    if (!prepareEnvironment(environment)) {
        // Nothing was read for this model.
        g_readTime = 0;
        reportUnsolved(path, kStatusSolverError);
        return true;
    }
    {
        // The model goes before the environment it was read with.
        std::optional<GurobiModel> model;
        readModel(*environment, path, model);
        if (model)
            optimizeAndReport(*model, path);
        else
            reportUnsolved(path, kStatusReadError);
    }
    return true;
}
