#pragma once

#include <charconv>
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

// The settings as the details file records them: the file first, by its file name after an
// '@', then every NAME=VALUE in order, ';' between them; '\\', ';' and '=' inside a name,
// value or file name written as "\\\\", "\\;" and "\\=". Empty for no settings.
std::string settingsText(const SolverSettings& settings);

// The parameter names a settings file sets: the first word of every line that is not blank
// or a comment ('#' to the end of the line), up to a blank or '='; nullopt when the file
// cannot be read.
std::optional<std::vector<std::string>> settingsFileNames(const std::string& path);

// A parameter the program sets itself from one of its own options.
struct OwnParameter {
    const char* name;
    const char* option;
};

// The message for the first setting (the file's names first, then the values) that names
// one of `own`, compared ignoring case when `ignoreCase`; none when no setting does. A file
// that cannot be read is refused by its path.
std::optional<std::string> refuseOwnParameters(const SolverSettings& settings, const std::vector<OwnParameter>& own,
                                               bool ignoreCase);

// A setting's value read whole as a number of the parameter's type ("1e-3" for a double);
// nullopt for anything else, blanks included.
template <typename Number>
std::optional<Number> settingNumber(const std::string& text)
{
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}
