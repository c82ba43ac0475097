#pragma once

// For tests of the engine only (not part of SCIP's interface): makes the next read or solve
// meet a real GLPK fatal error inside its guarded GLPK sequence.
enum class GlpkFailurePoint { Read, Solve };

void injectGlpkFailure(GlpkFailurePoint point);

// Used by reading and solving: true once after an injection at `point`.
bool takeInjectedGlpkFailure(GlpkFailurePoint point);
