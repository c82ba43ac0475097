#pragma once

#include <optional>
#include <string>
#include <vector>

// A parameter handed to a solver in its own name, as the user wrote it.
struct SolverSetting {
    std::string name;
    std::string value;
};

// What a run asks of its solver beyond the program's own limits.
struct SolverSettings {
    std::vector<SolverSetting> values;  // in the order given; a later one wins
    std::string file;                   // a settings file in the solver's format; empty: none

    bool empty() const { return values.empty() && file.empty(); }
};

// For a solver that takes no settings yet: refuses the first one named.
std::optional<std::string> refuseAnySettings(const SolverSettings& settings);
