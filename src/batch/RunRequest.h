#pragma once

#include <optional>
#include <string>
#include <vector>

#include "batch/OptimizeRun.h"

// How a run is asked for and checked, in one place for the shell, `opt` and `slurm`.

// Who is told of a folder that cannot be used: the shell answers on standard output, as it
// answers every question; the command line on standard error. A check that failed for
// another reason than a missing folder goes to standard error either way.
enum class Voice { Shell, CommandLine };

inline constexpr const char* kBadModelFolder = "Pasta de .lps inexistente ou inválida...\n";
inline constexpr const char* kBadOutputFolder = "Pasta de output inexistente ou inválida...\n";
inline constexpr const char* kBadModFolder = "Pasta de .mods inexistente ou inválida...\n";

// Whether `path` names a folder; otherwise `rejection`, or the failed check, is told.
bool acceptFolder(const std::string& path, const char* rejection, Voice voice);

// The folder's entries. A listing that fails midway is told on standard error; the shell
// goes on with what was listed, the command line stops (nullopt).
std::optional<std::vector<std::string>> listEntries(const std::string& folder, Voice voice);

// Models solved side by side on this machine: 1 to four per core.
int localJobLimit();
// In a job of a cluster, whose nodes this machine cannot know: a bound no node reaches.
inline constexpr int kClusterJobLimit = 1024;

// A .solu file, its failure and its warnings told on standard error.
std::optional<KnownResults> loadSoluFile(const std::string& path);
// Every .solu file among a folder's entries (the shell's way), later names taking
// precedence; one that cannot be read is told and left out.
std::optional<KnownResults> knownResultsIn(const std::vector<std::string>& entries);

// The options of a command-line run, as typed: a job script repeats them so.
struct RunArguments {
    std::string models;
    std::string output;
    std::string solver;  // a registry word
    std::string timeLimit;
    std::string memoryLimit;
    std::string jobs;
    bool quiet = false;
    std::string solu;
    std::string feasibilityTolerance;
    std::string integralityTolerance;
    bool saveSolutions = false;
    std::vector<std::string> set;  // "NAME=VALUE" each, checked by the parser
    std::string settingsFile;
};

// Where the run's solvers run: on this machine, or on a cluster's nodes (whose solvers this
// machine need not have).
enum class RunsOn { ThisMachine, Cluster };

// The request these arguments make, with folders checked and listed and the .solu file
// loaded; nullopt, with the reason on standard error, when the run cannot be made. The
// arguments' numbers were checked by the parser.
std::optional<OptimizeRequest> buildRequest(const RunArguments& arguments, RunsOn where);

// The same options as `opt` arguments (the folders left out, a .solu file by its absolute
// path), for a job that runs elsewhere.
std::vector<std::string> optArguments(const RunArguments& arguments);

// A path from the root, or the path as given when it cannot be resolved.
std::string absolutePath(const std::string& path);

// "NAME=VALUE" split at its first '=', or nullopt without a '=' or with an empty name.
std::optional<SolverSetting> parseSetting(const std::string& text);

// "1,5" and "1.5"; nullopt for anything else, or a number that is not finite.
std::optional<double> parseArgumentNumber(const std::string& text);
