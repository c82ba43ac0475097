#pragma once

#include <optional>
#include <string>

#include "backends/gurobi/GurobiNames.h"

class GurobiModel;

// The outcome text of a Gurobi optimisation status.
const char* gurobiStatusText(int status);

// Writes the NOME, TEMPO and STATUS lines of an optimised model and records its row. A
// value the library refuses is shown as "-". With outOfMemory set, only the NOME line is
// written and the row is name;-;SEM MEMORIA;-;<reading time>. Never throws GRBException.
void reportGurobiResult(GurobiModel& model, std::string path, bool outOfMemory);

// A double attribute of the model, or nothing when the library refuses it.
std::optional<double> tryDoubleAttribute(GurobiModel& model, DoubleAttr attribute);
