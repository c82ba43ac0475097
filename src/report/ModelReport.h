#pragma once

#include <string>

#include "report/Outcome.h"

// The console report of a model: its NOME, TEMPO and STATUS lines, as its outcome says.
std::string consoleReport(const ModelOutcome& outcome);

// Its result row: name;solving time;status;objective;reading time, "-" for a value that
// is missing; no solver name, no line end. A name that holds ';', '"', CR or LF is quoted
// so that the row keeps its columns.
std::string resultRow(const ModelOutcome& outcome);
