#pragma once

#include <string>
#include <vector>

#include <scip/scip.h>

#include "engines/model/LpModel.h"

// A variable of the problem as its file states it: one of the model's own columns, which
// come first among the GLPK problem's columns (the engine's binary columns for sets,
// semi-continuous variables and indicators come after them and are no variables of SCIP's).
struct SCIP_Var {
    std::string name;
    int column = 0;  // GLPK's, from 1
};

// The one solution a solve leaves, the best; its values are the GLPK problem's.
struct SCIP_Sol {};

struct OriginalVariables {
    std::vector<SCIP_Var> variables;
    std::vector<SCIP_Var*> handles;  // what SCIPgetOrigVars hands out
    SCIP_Sol best;
};

// The model's columns become the problem's variables, in the file's order. Throws
// std::bad_alloc when memory runs out.
void rememberVariables(OriginalVariables& variables, const LpModel& model);
void forgetVariables(OriginalVariables& variables);
