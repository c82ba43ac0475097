#include "FaultSupport.h"

#include <algorithm>
#include <regex>

#include <dirent.h>

#include "shell/Settings.h"

std::string lpWithOptimum(int optimum)
{
    return "Minimize\n obj: x + y\nSubject To\n c1: x + y >= " + std::to_string(optimum) + "\nEnd\n";
}

std::string mipWithOptimum(int optimum)
{
    return "Maximize\n obj: x\nSubject To\n c1: 2 x <= " + std::to_string(2 * optimum + 1) + "\nGenerals\n x\nEnd\n";
}

std::string brokenModel()
{
    return "Minimize\n obj: x +\nSubject To\n c1: x >= ; 5\nEnd\n";
}

const std::string kLpReadLog = "original problem has 2 variables (0 bin, 0 int, 0 impl, 2 cont) and 1 constraints\n";
const std::string kMipReadLog = "original problem has 1 variables (0 bin, 1 int, 0 impl, 0 cont) and 1 constraints\n";
const std::string kHardReadLog = "original problem has 50 variables (40 bin, 0 int, 0 impl, 10 cont) and 5 constraints\n";

ProcessResult runAsNobody(const std::string& input)
{
    ProcessOptions options;
    options.unprivileged = true;
    options.input = input;
    return runProcess({publicLumbrixBinary()}, options);
}

std::string quietStart(bool withTimeLimit)
{
    return aboutText() + kPrompt + kAskVerbose + (withTimeLimit ? kPrompt + kAskTimeLimit : "") + kPrompt
        + kAskModels + kAskOutput;
}

std::string quietOpt(const std::string& models, const std::string& output, const std::string& timeLimit)
{
    const std::string limit = timeLimit.empty() ? "" : "time_limit\n" + timeLimit + "\n";
    return "verbose\nn\n" + limit + "opt\n" + models + "\n" + output + "\nexit\n";
}

std::string bannerOf(std::size_t number)
{
    return kRule + "MODELO " + std::to_string(number) + " \n";
}

std::string solvedBlock(std::size_t number, const std::string& name, const std::string& status,
                        const std::string& readLog)
{
    return bannerOf(number) + readLog + "NOME: " + name + "\nTEMPO: T\nSTATUS: " + status + "\n";
}

std::string unreadBlock(std::size_t number, const std::string& name)
{
    return bannerOf(number) + "NOME: " + name + "\nSTATUS: " + kReadError + "\n";
}

std::string withoutTimes(const std::string& console)
{
    static const std::regex time("\nTEMPO: [0-9.e+-]+\n");
#ifdef LUMBRIX_SCIP_COMPAT
    return std::regex_replace(console, time, "\nTEMPO: T\n");
#else
    // SCIP echoes, on standard output, the line it could not parse.
    static const std::regex echo("  input: [^\n]*\n\n *\\^\n");
    return std::regex_replace(std::regex_replace(console, echo, ""), time, "\nTEMPO: T\n");
#endif
}

std::size_t completeReports(const std::string& console)
{
    std::size_t count = 0;
    for (auto at = console.find("\nSTATUS: "); at != std::string::npos; at = console.find("\nSTATUS: ", at + 1))
        if (console.find('\n', at + 1) != std::string::npos)
            ++count;
    return count;
}

namespace {

// RFC 4180 records with `separator` between fields and CR LF, or LF alone, after each.
bool parseTable(const std::string& text, char separator, bool crlf, std::vector<CsvRecord>& records,
                std::string& problem)
{
    records.clear();
    CsvRecord record;
    std::string field;
    std::size_t i = 0;
    const auto fail = [&](const std::string& why) {
        problem = why + " at byte " + std::to_string(i) + " (record " + std::to_string(records.size()) + ")";
        return false;
    };
    while (i < text.size()) {
        if (text[i] == '"' && field.empty()) {
            // A quoted field: up to the quote that is not doubled.
            for (++i;; ++i) {
                if (i >= text.size())
                    return fail("unterminated quoted field");
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i];
            }
            if (i < text.size() && text[i] != separator && text[i] != (crlf ? '\r' : '\n'))
                return fail("text after a closing quote");
            continue;
        }
        const char c = text[i];
        if (c == separator) {
            record.push_back(field);
            field.clear();
            ++i;
        } else if (crlf && c == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n')
                return fail("CR without LF");
            record.push_back(field);
            field.clear();
            records.push_back(record);
            record.clear();
            i += 2;
        } else if (!crlf && c == '\n') {
            record.push_back(field);
            field.clear();
            records.push_back(record);
            record.clear();
            ++i;
        } else if (c == '\n' || c == '\r') {
            return fail(crlf ? "LF without CR" : "CR in an unquoted field");
        } else if (c == '"') {
            return fail("quote inside an unquoted field");
        } else {
            field += c;
            ++i;
        }
    }
    if (!record.empty() || !field.empty())
        return fail("last record without its line end");
    return true;
}

}  // namespace

bool parseResultsFile(const std::string& text, std::vector<CsvRecord>& records, std::string& problem)
{
    return parseTable(text, ';', true, records, problem);
}

bool parseDetailsFile(const std::string& text, std::vector<CsvRecord>& records, std::string& problem)
{
    return parseTable(text, ',', false, records, problem);
}

namespace {

bool isRowNumber(const std::string& text)
{
    static const std::regex number("[0-9]+,[0-9]{6}");
    return std::regex_match(text, number);
}

}  // namespace

std::string rowMismatch(const CsvRecord& record, const ExpectedRow& expected)
{
    if (record.size() != 6)
        return std::to_string(record.size()) + " fields";
    const bool solved = expected.objective != "-";
    if (record[0] != "SCIP")
        return "solver " + record[0];
    if (record[1] != expected.name)
        return "name " + record[1] + " where " + expected.name + " was expected";
    if (solved ? !isRowNumber(record[2]) : record[2] != "-")
        return "solving time " + record[2];
    if (record[3] != expected.status)
        return "status " + record[3];
    if (expected.objective == kAnyNumber ? !isRowNumber(record[4]) : record[4] != expected.objective)
        return "objective " + record[4];
    if (!isRowNumber(record[5]))
        return "reading time " + record[5];
    return "";
}

::testing::AssertionResult holdsRows(const std::string& fileText, const std::vector<ExpectedRow>& expected)
{
    std::vector<CsvRecord> records;
    std::string problem;
    if (!parseResultsFile(fileText, records, problem))
        return ::testing::AssertionFailure() << problem << " in:\n" << fileText;
    if (!fileText.starts_with(kHeader))
        return ::testing::AssertionFailure() << "no header in:\n" << fileText;
    if (records.size() != expected.size() + 1)
        return ::testing::AssertionFailure() << records.size() - 1 << " rows where " << expected.size()
                                             << " were expected in:\n" << fileText;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::string mismatch = rowMismatch(records[i + 1], expected[i]);
        if (!mismatch.empty())
            return ::testing::AssertionFailure() << "row " << i << ": " << mismatch << " in:\n" << fileText;
    }
    return ::testing::AssertionSuccess();
}

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}
