#include "batch/CompareRun.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <set>

#include <sys/stat.h>

#include "fs/Files.h"
#include "fs/Paths.h"
#include "fs/Streams.h"
#include "report/DetailsFile.h"
#include "report/RunFiles.h"
#include "report/compare/ComparePage.h"
#include "report/compare/CompareText.h"
#include "report/compare/Comparison.h"
#include "report/compare/MergedTable.h"

namespace {

constexpr int kUnusable = 2;

bool hasShardDetails(const std::string& folder)
{
    const Listing listing = listFolder(folder);
    for (const std::string& entry : listing.entries)
        if (const auto shard = parseShardFileName(fileName(entry)); shard && shard->table == ShardTable::Details)
            return true;
    return false;
}

// The details file a run names: the file itself, or the folder's sol_detalhes.csv.
std::optional<std::string> detailsPathOf(const std::string& run)
{
    if (isRegularFile(run))
        return run;
    const FolderCheck check = checkFolder(run);
    if (check.error) {
        printError("Erro: " + check.error->describe() + "\n");
        return std::nullopt;
    }
    if (!check.isFolder) {
        printError("Erro: " + run + " não é uma pasta de saída do opt nem um arquivo\n");
        return std::nullopt;
    }
    const std::string path = pathInFolder(run, kDetailsFileName);
    if (isRegularFile(path))
        return path;
    if (hasShardDetails(run))
        printError("Erro: " + run + " tem só arquivos de parte (sol_detalhes.shard-K-of-N.csv), sem " + kDetailsFileName
                   + ": junte-os antes com lumbrix merge " + run + "\n");
    else
        printError("Erro: " + run + " não tem " + kDetailsFileName + "\n");
    return std::nullopt;
}

// The name of the folder a run's file lies in, or the file's own name without ".csv".
std::string defaultLabel(const std::string& run, const std::string& detailsPath)
{
    char resolved[PATH_MAX];
    const std::string path = realpath(detailsPath.c_str(), resolved) ? std::string(resolved) : detailsPath;
    const std::string name = fileName(path);
    if (name != kDetailsFileName || path == name)
        return hasSuffix(name, ".csv") ? name.substr(0, name.size() - 4) : (name.empty() ? run : name);
    return fileName(path.substr(0, path.size() - name.size() - 1));
}

std::optional<ComparedRun> readRun(const std::string& run, const std::string& label)
{
    const auto path = detailsPathOf(run);
    if (!path)
        return std::nullopt;
    const auto text = readWholeFile(*path);
    if (!text) {
        printError("Erro ao ler " + *path + ": " + std::strerror(errno) + "\n");
        return std::nullopt;
    }
    std::string problem;
    auto models = parseDetailsText(*text, problem);
    if (!models) {
        printError("Erro ao ler " + *path + ": " + problem + "\n");
        return std::nullopt;
    }
    return ComparedRun{label.empty() ? defaultLabel(run, *path) : label, *path, std::move(*models)};
}

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat first, second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev
        && first.st_ino == second.st_ino;
}

// Output files that would overwrite a run, or each other.
bool usableOutputs(const CompareRequest& request, const std::vector<ComparedRun>& runs)
{
    for (const std::string* output : {&request.htmlPath, &request.csvPath}) {
        if (output->empty())
            continue;
        for (const ComparedRun& run : runs)
            if (sameFile(*output, run.source)) {
                printError("Erro: " + *output + " é o arquivo do run " + run.label + "\n");
                return false;
            }
    }
    if (!request.htmlPath.empty() && request.htmlPath == request.csvPath) {
        printError("Erro: --html e --csv com o mesmo arquivo, " + request.htmlPath + "\n");
        return false;
    }
    return true;
}

bool writeOutput(const std::string& path, const std::string& text)
{
    const std::size_t slash = path.rfind(kPathSeparator);
    const std::string temporary = slash == std::string::npos
        ? "." + path + ".tmp"
        : path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".tmp";
    if (const int error = replaceFile(path, temporary, text)) {
        printError("Erro ao gravar " + path + ": " + std::strerror(error) + "\n");
        return false;
    }
    return true;
}

}  // namespace

int runCompare(const CompareRequest& request)
{
    if (!request.labels.empty() && request.labels.size() != request.runs.size()) {
        printError("Erro: são " + std::to_string(request.runs.size()) + " runs e " + std::to_string(request.labels.size())
                   + " --label: dê um rótulo por run, na ordem dos runs\n");
        return kUnusable;
    }
    std::vector<ComparedRun> runs;
    std::set<std::string> labels;
    for (std::size_t i = 0; i < request.runs.size(); ++i) {
        auto run = readRun(request.runs[i], request.labels.empty() ? std::string() : request.labels[i]);
        if (!run)
            return kUnusable;
        if (!labels.insert(run->label).second) {
            printError("Erro: dois runs com o rótulo '" + run->label + "': dê rótulos com --label\n");
            return kUnusable;
        }
        runs.push_back(std::move(*run));
    }
    if (!usableOutputs(request, runs))
        return kUnusable;

    const Comparison comparison = compareRuns(std::move(runs), request.shift);
    if (!request.htmlPath.empty() && !writeOutput(request.htmlPath, comparePage(comparison)))
        return kUnusable;
    if (!request.csvPath.empty() && !writeOutput(request.csvPath, mergedTableText(comparison)))
        return kUnusable;
    std::cout << terminalText(comparison) << std::flush;
    return comparison.exitStatus();
}
