#pragma once

// For tests of the engine only (not part of SCIP's interface): makes the next SCIPsolve of
// a problem read from a file meet a real GLPK fatal error inside its guarded GLPK sequence.
void injectGlpkFailureIntoNextSolve();

// Used by the solve: true once after an injection.
bool takeInjectedGlpkFailure();
