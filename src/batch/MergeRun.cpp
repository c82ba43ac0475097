#include "batch/MergeRun.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <vector>

#include "fs/Files.h"
#include "fs/Paths.h"
#include "fs/Streams.h"
#include "report/DetailsFile.h"
#include "report/ResultsFile.h"
#include "report/RunFiles.h"

namespace {

constexpr int kUnusable = 2;
// Not "models missing" (1): a script must tell a merge that could not write its files from
// one that found gaps.
constexpr int kWriteFailed = 2;

struct FoundShard {
    Shard shard;
    bool results = false;
    bool details = false;
};

// Each model's first row over the shards taken in order (by N, then K).
struct Rows {
    std::map<std::string, std::string> results;
    std::map<std::string, std::string> details;
};

bool readShard(const std::string& folder, const Shard& shard, Rows& rows)
{
    const std::string resultsPath = pathInFolder(folder, resultsFileName(shard));
    const std::string detailsPath = pathInFolder(folder, detailsFileName(shard));
    const auto resultsText = readWholeFile(resultsPath);
    if (!resultsText && errno != ENOENT) {
        printError("Erro ao ler " + resultsPath + ": " + std::strerror(errno) + "\n");
        return false;
    }
    const auto detailsText = readWholeFile(detailsPath);
    if (!detailsText && errno != ENOENT) {
        printError("Erro ao ler " + detailsPath + ": " + std::strerror(errno) + "\n");
        return false;
    }
    for (const std::string& line : resultsFileLines(resultsText.value_or("")))
        rows.results.emplace(resultsLineModel(line), line);
    for (const std::string& line : detailsFileLines(detailsText.value_or("")))
        rows.details.emplace(detailsLineModel(line), line);
    return true;
}

std::vector<Shard> shardsIn(const std::vector<std::string>& entries)
{
    std::vector<Shard> shards;
    for (const std::string& path : entries)
        if (const auto file = parseShardFileName(fileName(path)))
            if (std::find(shards.begin(), shards.end(), file->shard) == shards.end())
                shards.push_back(file->shard);
    std::sort(shards.begin(), shards.end(), [](const Shard& a, const Shard& b) {
        return a.count != b.count ? a.count < b.count : a.index < b.index;
    });
    return shards;
}

}  // namespace

int mergeShards(const std::string& outputFolder)
{
    const std::string manifestPath = pathInFolder(outputFolder, kManifestFileName);
    const auto manifestText = readWholeFile(manifestPath);
    if (!manifestText) {
        printError("Erro ao ler " + manifestPath + ": " + std::strerror(errno) + "\n");
        return kUnusable;
    }
    const auto models = parseManifest(*manifestText);
    if (!models) {
        printError("Erro ao ler " + manifestPath + ": lista de modelos inválida\n");
        return kUnusable;
    }
    Listing listing = listFolder(outputFolder);
    if (listing.error) {
        printError("Erro ao acessar a pasta: " + *listing.error + "\n");
        return kUnusable;
    }
    const std::vector<Shard> shards = shardsIn(listing.entries);
    if (shards.empty()) {
        printError("Nenhum arquivo de parte (sol_stat.shard-K-of-N.csv) em " + outputFolder + "\n");
        return kUnusable;
    }
    Rows rows;
    for (const Shard& shard : shards)
        if (!readShard(outputFolder, shard, rows))
            return kUnusable;

    // A model counts as run only with both of its rows, as a resumed shard sees it.
    std::string results = kResultsHeader;
    std::string details = kDetailsFileHeader;
    bool complete = true;
    for (const ListedModel& model : *models) {
        const auto result = rows.results.find(model.name);
        const auto detail = rows.details.find(model.name);
        if (result != rows.results.end() && detail != rows.details.end()) {
            results += result->second;
            details += detailsLineWithEveryColumn(detail->second);
            continue;
        }
        complete = false;
        printError("Modelo sem resultado: " + model.name + "\n");
        details += notRunDetailsRow(model.name) + "\n";
    }

    const std::string resultsPath = pathInFolder(outputFolder, kResultsFileName);
    const std::string detailsPath = pathInFolder(outputFolder, kDetailsFileName);
    for (const auto& [path, text] : {std::pair{resultsPath, results}, std::pair{detailsPath, details}}) {
        if (const int error = replaceFile(path, pathInFolder(outputFolder, "." + fileName(path) + ".tmp"), text)) {
            printError("Erro ao gravar " + path + ": " + std::strerror(error) + "\n");
            return kWriteFailed;
        }
    }
    return complete ? 0 : 1;
}
