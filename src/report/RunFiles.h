#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Part K of N of a run: the models whose listing number i has i mod N = K - 1.
struct Shard {
    std::size_t index = 1;  // K, from 1
    std::size_t count = 1;  // N

    bool owns(std::size_t number) const { return number % count == index - 1; }
    bool operator==(const Shard&) const = default;
};

// "K/N" with 1 <= K <= N, whole numbers only.
std::optional<Shard> parseShard(std::string_view text);

// sol_stat.csv, or sol_stat.shard-K-of-N.csv for a shard.
std::string resultsFileName(const std::optional<Shard>& shard);
// sol_detalhes.csv, or sol_detalhes.shard-K-of-N.csv for a shard.
std::string detailsFileName(const std::optional<Shard>& shard);

// Which of a shard's two table files a name is, if it is one.
enum class ShardTable { Results, Details };
struct ShardFile {
    ShardTable table;
    Shard shard;
};
std::optional<ShardFile> parseShardFileName(const std::string& name);

// The list of a folder's models that every run leaves in its output folder, the same for
// every shard of the run, so that the shards can be merged in listing order.
inline constexpr const char* kManifestFileName = "sol_modelos.txt";

// The job scripts and logs that `lumbrix slurm` keeps in the output folder start with this.
inline constexpr const char* kSlurmFilePrefix = "sol_slurm";

// The folder where --save-solutions keeps each model's solution.
inline constexpr const char* kSolutionsFolderName = "solutions";

// Whether a listing entry is one of the files a run keeps for itself (its table files of
// every name, the list of models, the SLURM scripts and logs, the solutions folder), which
// are never models nor numbered: a run into its model folder numbers as the run before.
bool isRunOwnFile(const std::string& name);

struct ListedModel {
    std::size_t number = 0;  // the listing number, as in "MODELO n"
    std::string name;        // the file name
};

// One line per model: the number, a tab, the name with '\\' and a line end escaped as "\\\\"
// and "\\n".
std::string manifestText(const std::vector<ListedModel>& models);
// nullopt when a line is not of that form.
std::optional<std::vector<ListedModel>> parseManifest(std::string_view text);

// The whole lines of a table file's text after its header line: a last line without its line
// end (cut by a kill) is left out. Lines keep their line ends. The details file's lines end at
// an LF outside quotes, the results file's at CR LF.
std::vector<std::string> detailsFileLines(std::string_view text);
std::vector<std::string> resultsFileLines(std::string_view text);

// The model a table line is about: the first field of a details row, the second of a
// results row, unquoted; the file name itself, also where the details file escapes it.
std::string detailsLineModel(std::string_view line);
// Every field of a details row, unquoted.
std::vector<std::string> detailsLineFields(std::string_view line);
std::string resultsLineModel(std::string_view line);

// A details line of an earlier version, which had fewer columns (the later ones come last),
// with empty fields for the columns it lacks, so that a file's every row has its header's
// columns; a line of this version as it is. The line end stays where it was.
std::string detailsLineWithEveryColumn(std::string_view line);
