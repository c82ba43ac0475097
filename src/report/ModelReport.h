#pragma once

#include <optional>
#include <string>

// Outcomes of a model that was never solved.
inline constexpr const char* kStatusReadError = "ERRO DE LEITURA";
inline constexpr const char* kStatusSolverError = "ERRO DO SOLVER";

// The model's file name: what follows the last separator of its path.
std::string modelName(const std::string& path);

// A result row from its fields, the reading time (g_readTime) added at the end. A name
// that holds ';', '"', CR or LF is quoted so that the row keeps its six columns.
std::string makeResultRow(const std::string& name, const std::string& solvingTime, const std::string& status,
                          const std::string& objective);

// The report of a model that could not be solved: its NOME and STATUS lines and the row
// name;-;<status>;-;<reading time>.
void reportUnsolved(const std::string& path, const char* status);

// The report of a model whose solve failed: NOME, TEMPO (the solver's time, "-" when it
// has none to give) and STATUS lines, and the row name;<time>;ERRO DO SOLVER;-;<reading time>.
void reportFailedSolve(const std::string& path, std::optional<double> solvingTime);
