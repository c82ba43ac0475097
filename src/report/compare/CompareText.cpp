#include "report/compare/CompareText.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string count(std::size_t value)
{
    return std::to_string(value);
}

std::optional<double> ratioToFirst(const Comparison& comparison, const std::optional<double>& mean)
{
    const std::optional<double>& first = comparison.statistics.front().commonMean;
    if (!mean || !first || *first <= 0)
        return std::nullopt;
    return *mean / *first;
}

// What a terminal shows a UTF-8 text as: one column per character.
std::size_t displayWidth(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string padded(const std::string& text, std::size_t width, bool left)
{
    const std::string space(width - std::min(width, displayWidth(text)), ' ');
    return left ? text + space : space + text;
}

// Two spaces between columns; the first column to the left, numbers to the right.
std::string alignedTable(const SummaryTable& table)
{
    std::vector<std::size_t> widths(table.header.size());
    for (std::size_t column = 0; column < widths.size(); ++column) {
        widths[column] = displayWidth(table.header[column]);
        for (const auto& row : table.rows)
            widths[column] = std::max(widths[column], displayWidth(row[column]));
    }
    std::string text;
    std::vector<const std::vector<std::string>*> lines{&table.header};
    for (const auto& row : table.rows)
        lines.push_back(&row);
    for (const auto* line : lines) {
        for (std::size_t column = 0; column < widths.size(); ++column) {
            if (column > 0)
                text += "  ";
            const bool last = column + 1 == widths.size();
            text += column == 0 ? (last ? (*line)[0] : padded((*line)[0], widths[0], true))
                                : padded((*line)[column], widths[column], false);
        }
        text += '\n';
    }
    return text;
}

std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

}  // namespace

std::string secondsCell(double seconds)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

std::string ratioCell(double ratio)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", ratio);
    return text;
}

SummaryTable summaryTable(const Comparison& comparison)
{
    SummaryTable table;
    table.header = {"run", "modelos", "resolvidos", "limite", "falhas", "errados", "MGD (s)", "MGD comuns (s)", "razão"};
    for (std::size_t run = 0; run < comparison.runs.size(); ++run) {
        const RunStatistics& statistics = comparison.statistics[run];
        const auto ratio = ratioToFirst(comparison, statistics.commonMean);
        table.rows.push_back({comparison.runs[run].label, count(statistics.rows), count(statistics.solved),
                              count(statistics.timeOuts), count(statistics.failures), count(statistics.wrong),
                              secondsCell(statistics.shiftedMean),
                              statistics.commonMean ? secondsCell(*statistics.commonMean) : "-",
                              ratio ? ratioCell(*ratio) : "-"});
    }
    return table;
}

std::vector<std::string> summaryNotes(const Comparison& comparison)
{
    std::vector<std::string> notes;
    notes.push_back("MGD: média geométrica deslocada dos tempos de solução (deslocamento de " + exactNumber(comparison.shift)
                    + " s) sobre os " + count(comparison.models.size()) + " modelos;");
    notes.push_back("um modelo não resolvido conta no limite de tempo do run.");
    std::vector<std::string> withoutLimit;
    for (std::size_t run = 0; run < comparison.runs.size(); ++run)
        if (!comparison.statistics[run].timeLimit)
            withoutLimit.push_back(comparison.runs[run].label);
    if (!withoutLimit.empty())
        notes.push_back("Sem limite de tempo (" + joined(withoutLimit)
                        + "): um modelo não resolvido conta no maior tempo de solução visto, "
                        + secondsCell(comparison.largestSeconds) + " s.");
    if (comparison.commonSolved > 0)
        notes.push_back("MGD comuns: sobre os " + count(comparison.commonSolved)
                        + " modelos que todos os runs resolveram; razão: a MGD comuns do run sobre a do primeiro.");
    else
        notes.push_back("MGD comuns: nenhum modelo foi resolvido por todos os runs.");
    notes.push_back("resolvidos: optimal, infeasible, unbounded ou infeasible_or_unbounded sem resposta errada; "
                    "limite: time_limit;");
    notes.push_back("falhas: os outros status e os modelos sem linha no run; errados: check wrong ou solução inviável.");
    for (std::size_t run = 0; run < comparison.runs.size(); ++run) {
        const std::size_t missing = comparison.models.size() - comparison.statistics[run].rows;
        if (missing > 0)
            notes.push_back(comparison.runs[run].label + " não tem linha para " + count(missing) + " dos "
                            + count(comparison.models.size()) + " modelos.");
    }
    return notes;
}

std::vector<std::string> pairLines(const Comparison& comparison)
{
    if (comparison.pairs.empty())
        return {};
    std::vector<std::string> lines{"Vitórias por par (mais rápido por mais de 10% e " + exactNumber(kWinSeconds)
                                   + " s, ou resolveu e o outro não):"};
    for (const PairWins& pair : comparison.pairs) {
        const std::string& first = comparison.runs[pair.first].label;
        const std::string& second = comparison.runs[pair.second].label;
        lines.push_back(first + " × " + second + ": " + first + " " + count(pair.firstWins) + ", " + second + " "
                        + count(pair.secondWins));
    }
    return lines;
}

std::string virtualBestLine(const Comparison& comparison)
{
    const VirtualBest& best = comparison.virtualBest;
    std::string line = "Melhor virtual (o menor tempo de cada modelo): resolvidos " + count(best.solved) + " de "
        + count(comparison.models.size()) + ", MGD " + secondsCell(best.shiftedMean) + " s";
    if (best.commonMean)
        line += ", MGD comuns " + secondsCell(*best.commonMean) + " s";
    return line + ".";
}

std::vector<std::string> disagreementLines(const Comparison& comparison)
{
    std::vector<std::string> lines;
    for (const Disagreement& disagreement : comparison.disagreements)
        lines.push_back(comparison.models[disagreement.model].name + ": " + disagreement.text);
    return lines;
}

std::vector<std::string> wrongAnswerLines(const Comparison& comparison)
{
    std::vector<std::string> lines;
    for (const WrongAnswer& wrong : comparison.wrongAnswers)
        lines.push_back(comparison.models[wrong.model].name + " em " + comparison.runs[wrong.run].label + ": "
                        + wrong.reason);
    return lines;
}

std::string terminalText(const Comparison& comparison)
{
    std::string text = alignedTable(summaryTable(comparison));
    for (const std::string& note : summaryNotes(comparison))
        text += note + "\n";
    text += "\n";
    const auto pairs = pairLines(comparison);
    for (std::size_t i = 0; i < pairs.size(); ++i)
        text += (i == 0 ? "" : "  ") + pairs[i] + "\n";
    text += virtualBestLine(comparison) + "\n\n";
    const auto listed = [&text](const char* heading, const std::vector<std::string>& lines) {
        text += std::string(heading) + ": " + (lines.empty() ? "nenhuma" : count(lines.size())) + "\n";
        for (const std::string& line : lines)
            text += "  " + line + "\n";
    };
    listed("Divergências", disagreementLines(comparison));
    listed("Respostas erradas", wrongAnswerLines(comparison));
    return text;
}
