#pragma once

#include <string>

#include <scip/scip.h>

// The outcome text of a SCIP solving status.
const char* scipStatusText(SCIP_STATUS status);

// Writes the NOME, TEMPO and STATUS lines of a solved model and records its row.
void reportScipResult(SCIP* scip, std::string path);
