#pragma once

// The test double's model: a CPLEX LP file read and solved with GLPK.

#include <string>
#include <utility>
#include <vector>

#include <glpk.h>

// What a test asks of one model through comment lines of its file, such as
// "\ double: status=7 optimize=oom runtime=refuse counts=refuse".
struct ModelDirectives {
    int forcedStatus = 0;      // reported instead of the real status when nonzero
    std::string optimize;      // "oom" or "error": GRBoptimize fails
    bool refuseRuntime = false;
    bool refuseCounts = false;
    bool stopAtFirstSolution = false;  // "stop=first": the search ends as at a time limit
    // "x=NAME:VALUE": the solution gives the variable this value instead of its own, as a
    // solver that gets its answer wrong.
    std::vector<std::pair<std::string, double>> wrongValues;
};

ModelDirectives readDirectives(const std::string& path);

// Reads an LP file with GLPK's own output kept off; null when it cannot be read.
glp_prob* readLpFile(const std::string& path);
// Reads an MPS file (GLPK's free layout, which takes fixed files without blanks in names).
glp_prob* readMpsFile(const std::string& path);

struct SolveResult {
    int status = 1;  // the library's status codes: 2 optimal, 3 infeasible, 4 either, 5 unbounded, 9 time limit
    bool hasSolution = false;
    double objective = 0;
    bool isMip = false;
    double bound = 0;  // the best bound of a MIP search
    double nodes = 0;
    double iterations = 0;  // simplex iterations
};

// Solves the problem within the time limit (seconds) and the limit of nodes explored (the
// library's NodeLimit: status 8 when it stops the search), silently.
SolveResult solveProblem(glp_prob* problem, double timeLimit, bool stopAtFirstSolution = false, double nodeLimit = 1e100);
