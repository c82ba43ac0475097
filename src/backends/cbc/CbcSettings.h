#pragma once

#include <optional>
#include <string>
#include <vector>

#include "backends/SolverSettings.h"

// CBC's settings file: one parameter a line, "name value" or "name=value", in CBC's own
// names; blank lines and everything from '#' on are skipped.

// The settings of a file and then the values given one by one (a later one wins), in order;
// none, with `problem` set, when the file cannot be read or a line is not a setting.
std::optional<std::vector<SolverSetting>> cbcSettingsInOrder(const SolverSettings& settings, std::string& problem);

// The message naming the first setting CBC does not know or whose value it refuses, checked
// against CBC's own parameter table as its command line reads it; none when it takes them all.
std::optional<std::string> refuseCbcSettings(const SolverSettings& settings);

// The settings as CBC's command line takes them: "-name", "value", ...
std::vector<std::string> cbcArguments(const std::vector<SolverSetting>& settings);
