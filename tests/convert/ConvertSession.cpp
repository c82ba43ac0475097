#include "ConvertSession.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include <sys/stat.h>

namespace {

const std::string kFolderPrompt = "Digite o caminho da pasta de arquivos .mod> ";
const std::string kSeparator = "------------------------------------------------------------\n";

std::string session(const std::string& folder)
{
    return "mod_lp\n" + folder + "\nexit\n";
}

}  // namespace

ProcessResult runModLp(const std::string& folder)
{
    return runLumbrix(session(folder));
}

ProcessResult runModLpMerged(const std::string& folder, const std::string& limits)
{
    ProcessOptions options;
    options.input = session(folder);
    return runProcess({"/bin/sh", "-c", limits + " exec \"$0\" 2>&1", lumbrixBinary()}, options);
}

std::string runSection(const std::string& out)
{
    std::string::size_type start = out.find(kFolderPrompt);
    if (start == std::string::npos)
        return "<no folder prompt>";
    start += kFolderPrompt.size();
    const std::string::size_type end = out.find("Lumbrix> ", start);
    return out.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string entrySection(const std::string& merged, int number)
{
    const std::string run = runSection(merged);
    const std::string::size_type start = run.find(kSeparator + "Modelo " + std::to_string(number) + " gerado\n");
    if (start == std::string::npos)
        return "<no entry " + std::to_string(number) + ">";
    const std::string::size_type end = run.find(kSeparator, start + kSeparator.size());
    const std::string::size_type from = start + kSeparator.size();
    return run.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

void makeFifo(const std::string& path)
{
    if (mkfifo(path.c_str(), 0600) != 0)
        throw std::runtime_error("mkfifo failed: " + path);
}

std::vector<std::string> folderNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string tinyModel(const std::string& ownData)
{
    std::string text = "param c;\nvar x >= 0, <= 1;\nmaximize z: c * x;\ns.t. r: x <= 1;\n";
    if (!ownData.empty())
        text += "data;\nparam c := " + ownData + ";\n";
    return text + "end;\n";
}

std::string tinyObjective(int c)
{
    return "Maximize\n z: + " + std::to_string(c) + " x\n";
}
