#pragma once

#include <string>

class GurobiModel;

// The outcome text of a Gurobi optimisation status.
const char* gurobiStatusText(int status);

// Writes the NOME, TEMPO and STATUS lines of an optimised model and records its row. A
// value the library refuses is shown as "-". With outOfMemory set, only the NOME line is
// written and the row is name;-;SEM MEMORIA;-;<reading time>. Never throws GRBException.
void reportGurobiResult(GurobiModel& model, std::string path, bool outOfMemory);

// The report of a model whose optimisation failed: NOME, TEMPO (or "-") and
// "STATUS: ERRO DO SOLVER", and the row name;<time or ->;ERRO DO SOLVER;-;<reading time>.
void reportGurobiFailure(GurobiModel& model, std::string path);
