#include "report/RunFiles.h"

#include <algorithm>
#include <charconv>

#include "report/DetailsFile.h"
#include "report/ResultsFile.h"

namespace {

std::optional<std::size_t> wholeNumber(std::string_view text)
{
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string shardName(const char* stem, const std::optional<Shard>& shard)
{
    if (!shard)
        return std::string(stem) + ".csv";
    return std::string(stem) + ".shard-" + std::to_string(shard->index) + "-of-" + std::to_string(shard->count)
        + ".csv";
}

// "K-of-N" between the stem and ".csv".
std::optional<Shard> shardInName(std::string_view name, std::string_view prefix)
{
    constexpr std::string_view suffix = ".csv";
    if (!name.starts_with(prefix) || !name.ends_with(suffix))
        return std::nullopt;
    const std::string_view middle = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    const std::size_t of = middle.find("-of-");
    if (of == std::string_view::npos)
        return std::nullopt;
    const auto index = wholeNumber(middle.substr(0, of));
    const auto count = wholeNumber(middle.substr(of + 4));
    if (!index || !count || *index < 1 || *index > *count)
        return std::nullopt;
    return Shard{*index, *count};
}

// A field in double quotes with doubled quotes inside, or the field as it is.
std::string unquoted(std::string_view field)
{
    if (field.size() < 2 || field.front() != '"' || field.back() != '"')
        return std::string(field);
    std::string text;
    for (std::size_t i = 1; i + 1 < field.size(); ++i) {
        text += field[i];
        if (field[i] == '"' && field[i + 1] == '"')
            ++i;
    }
    return text;
}

// Where the field that starts at `begin` ends: at the separator outside quotes, or the end.
std::size_t fieldEnd(std::string_view line, std::size_t begin, char separator)
{
    bool quoted = false;
    for (std::size_t i = begin; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (!quoted && (line[i] == separator || line[i] == '\n' || line[i] == '\r'))
            return i;
    }
    return line.size();
}

std::vector<std::string> lines(std::string_view text, bool crlf)
{
    std::vector<std::string> found;
    bool quoted = false;
    bool header = true;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        if (text[i] != '\n' || quoted || (crlf && (i == 0 || text[i - 1] != '\r')))
            continue;
        if (!header)
            found.emplace_back(text.substr(start, i + 1 - start));
        header = false;
        start = i + 1;
    }
    return found;
}

}  // namespace

std::optional<Shard> parseShard(std::string_view text)
{
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const auto index = wholeNumber(text.substr(0, slash));
    const auto count = wholeNumber(text.substr(slash + 1));
    if (!index || !count || *index < 1 || *index > *count)
        return std::nullopt;
    return Shard{*index, *count};
}

std::string resultsFileName(const std::optional<Shard>& shard)
{
    return shardName("sol_stat", shard);
}

std::string detailsFileName(const std::optional<Shard>& shard)
{
    return shardName("sol_detalhes", shard);
}

std::optional<ShardFile> parseShardFileName(const std::string& name)
{
    if (const auto shard = shardInName(name, "sol_stat.shard-"))
        return ShardFile{ShardTable::Results, *shard};
    if (const auto shard = shardInName(name, "sol_detalhes.shard-"))
        return ShardFile{ShardTable::Details, *shard};
    return std::nullopt;
}

bool isRunOwnFile(const std::string& name)
{
    // The table files' temporaries (".sol_stat.csv.tmp") exist while another part of the run
    // may be listing the same folder.
    if (name.size() > 5 && name.front() == '.' && name.ends_with(".tmp") && isRunOwnFile(name.substr(1, name.size() - 5)))
        return true;
    return name == kResultsFileName || name == kDetailsFileName || name.starts_with(kManifestFileName)
        || name.starts_with(kSlurmFilePrefix) || name == kSolutionsFolderName || parseShardFileName(name).has_value();
}

std::string manifestText(const std::vector<ListedModel>& models)
{
    std::string text;
    for (const ListedModel& model : models) {
        text += std::to_string(model.number);
        text += '\t';
        for (const char c : model.name) {
            if (c == '\\')
                text += "\\\\";
            else if (c == '\n')
                text += "\\n";
            else
                text += c;
        }
        text += '\n';
    }
    return text;
}

std::optional<std::vector<ListedModel>> parseManifest(std::string_view text)
{
    std::vector<ListedModel> models;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            return std::nullopt;
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        const std::size_t tab = line.find('\t');
        const auto number = wholeNumber(line.substr(0, tab == std::string_view::npos ? 0 : tab));
        if (!number)
            return std::nullopt;
        ListedModel model{*number, {}};
        for (std::size_t i = tab + 1; i < line.size(); ++i) {
            if (line[i] != '\\') {
                model.name += line[i];
                continue;
            }
            if (++i == line.size() || (line[i] != '\\' && line[i] != 'n'))
                return std::nullopt;
            model.name += line[i] == 'n' ? '\n' : '\\';
        }
        models.push_back(std::move(model));
    }
    return models;
}

std::vector<std::string> detailsFileLines(std::string_view text)
{
    return lines(text, false);
}

std::vector<std::string> resultsFileLines(std::string_view text)
{
    return lines(text, true);
}

std::string detailsLineModel(std::string_view line)
{
    return detailsFieldModel(unquoted(line.substr(0, fieldEnd(line, 0, ','))));
}

std::vector<std::string> detailsLineFields(std::string_view line)
{
    std::vector<std::string> fields;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = fieldEnd(line, begin, ',');
        fields.push_back(unquoted(line.substr(begin, end - begin)));
        if (end == line.size() || line[end] != ',')
            return fields;
        begin = end + 1;
    }
}

std::string resultsLineModel(std::string_view line)
{
    const std::size_t solverEnd = fieldEnd(line, 0, ';');
    if (solverEnd == line.size())
        return {};
    return unquoted(line.substr(solverEnd + 1, fieldEnd(line, solverEnd + 1, ';') - solverEnd - 1));
}

std::string detailsLineWithEveryColumn(std::string_view line)
{
    const std::string_view header(kDetailsFileHeader);
    const std::size_t columns = static_cast<std::size_t>(std::count(header.begin(), header.end(), ',')) + 1;
    const std::size_t fields = detailsLineFields(line).size();
    std::string padded(line);
    if (fields < columns)
        padded.insert(line.ends_with('\n') ? padded.size() - 1 : padded.size(), columns - fields, ',');
    return padded;
}
