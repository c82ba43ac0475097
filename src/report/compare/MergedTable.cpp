#include "report/compare/MergedTable.h"

#include <string_view>

#include "report/DetailsFile.h"

namespace {

void addField(std::string& text, std::string_view field, bool first = false)
{
    appendCsvField(text, field, first);
}

std::string number(const std::optional<double>& value)
{
    return value ? exactNumber(*value) : std::string();
}

}  // namespace

std::string mergedTableText(const Comparison& comparison)
{
    std::string text;
    addField(text, "model", true);
    for (const ComparedRun& run : comparison.runs)
        for (const char* column : {".status", ".objective", ".dual_bound", ".solve_seconds", ".check", ".solution_check"})
            addField(text, run.label + column);
    addField(text, "disagreement");
    text += '\n';

    std::vector<bool> disagreed(comparison.models.size());
    for (const Disagreement& disagreement : comparison.disagreements)
        disagreed[disagreement.model] = true;
    for (std::size_t index = 0; index < comparison.models.size(); ++index) {
        const ComparedModel& model = comparison.models[index];
        addField(text, model.name, true);
        for (std::size_t run = 0; run < comparison.runs.size(); ++run) {
            const ModelRecord* record = comparison.record(model, run);
            if (!record) {
                text += ",,,,,,";
                continue;
            }
            addField(text, record->status);
            addField(text, number(record->objective));
            addField(text, number(record->dualBound));
            addField(text, number(record->solveSeconds));
            addField(text, record->check);
            addField(text, record->solutionCheck);
        }
        addField(text, disagreed[index] ? "true" : "false");
        text += '\n';
    }
    return text;
}
