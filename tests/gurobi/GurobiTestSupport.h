#pragma once

#include <string>
#include <vector>

#include "Process.h"
#include "TempDir.h"

// The folders of the Gurobi test double and of its variant that lacks a function.
std::string doubleFolder();
std::string incompleteDoubleFolder();

// Model files the double solves for real.
extern const char* const kOptimalLp;     // maximum 42
extern const char* const kOptimalMip;    // maximum 4
extern const char* const kInfeasibleLp;
extern const char* const kUnboundedLp;
extern const char* const kUnboundedRelaxationMip;
extern const char* const kMalformedLp;
// An integer model without integer points that branch and bound cannot settle quickly.
std::string hardMip();

// A model whose file asks the double for something: "\ double: <request>" on top of kOptimalLp.
std::string optimalWith(const std::string& request);

// Runs the program with the double findable, GUROBI chosen and the double's call log in
// dir/calls.log; `commands` follow the choice of solver, then `exit`.
ProcessResult runWithDouble(const TempDir& dir, const std::string& commands,
                            std::vector<std::pair<std::string, std::string>> environment = {});

// The commands of an `opt` run over a model folder into an output folder.
std::string optCommands(const std::string& modelFolder, const std::string& outputFolder);

// What the program wrote for model `index` of a run: from after its "MODELO" line up to
// the next separator or prompt.
std::string modelSection(const std::string& out, int index);

// Whether text matches a pattern in which <T> stands for a console number, <R> for a row
// number and everything else for itself.
bool matchesPattern(const std::string& text, const std::string& pattern);

// The calls the double logged (lines starting with "GRB"), and all its log lines.
std::vector<std::string> loggedCalls(const TempDir& dir);
std::string doubleLog(const TempDir& dir);
