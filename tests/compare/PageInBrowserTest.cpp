// The comparison's page in a real browser (headless Chromium, no network): it loads without a
// console error or a request for anything but itself, its profile has one line per run, its
// table shows the terminal's numbers, its per-model table sorts, and it prints.
#include <gtest/gtest.h>

#include <regex>

#include "HandMadeRuns.h"
#include "HeadlessBrowser.h"
#include "Process.h"
#include "TempDir.h"

namespace {

ProcessResult lumbrix(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), lumbrixBinary());
    return runProcess(arguments);
}

// The summary table's lines as the terminal prints them, cells split at two or more spaces.
std::vector<std::vector<std::string>> terminalTable(const std::string& out, std::size_t runs)
{
    static const std::regex gap(" {2,}");
    std::vector<std::vector<std::string>> rows;
    std::size_t at = 0;
    for (std::size_t line = 0; line <= runs; ++line) {
        const std::size_t end = out.find('\n', at);
        const std::string text = out.substr(at, end - at);
        rows.emplace_back(std::sregex_token_iterator(text.begin(), text.end(), gap, -1), std::sregex_token_iterator());
        at = end + 1;
    }
    return rows;
}

const char* const kSummaryScript = R"JS(
  Array.prototype.map.call(document.querySelectorAll('#resumo tr'), function (row) {
    return Array.prototype.map.call(row.cells, function (cell) { return cell.textContent; });
  })
)JS";

const char* const kProfileScript = R"JS(
  Array.prototype.map.call(document.querySelectorAll('#perfil polyline.run'), function (line) {
    var box = line.getBBox();
    return {run: line.getAttribute('data-run'), points: line.points.numberOfItems, width: box.width};
  })
)JS";

// The first column (model names) of the per-model table, after clicking a heading.
std::string sortedBy(int column)
{
    return "(function () { var heads = document.querySelectorAll('#modelos thead tr:last-child th');"
           " heads[" + std::to_string(column) + "].click();"
           " return Array.prototype.map.call(document.querySelectorAll('#modelos tbody tr'),"
           " function (row) { return row.cells[0].textContent; }).join(' '); })()";
}

class PageInBrowser : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (HeadlessBrowser::program().empty())
            GTEST_SKIP() << "Chromium is not installed (Debian package chromium)";
    }

    // Compares the runs into a page and opens it; the terminal's output.
    std::string openComparison(HeadlessBrowser& browser, const std::vector<std::string>& runs, const std::string& page)
    {
        std::vector<std::string> arguments{"compare"};
        arguments.insert(arguments.end(), runs.begin(), runs.end());
        arguments.insert(arguments.end(), {"--html", page});
        const ProcessResult run = lumbrix(arguments);
        EXPECT_EQ(run.err, "");
        EXPECT_TRUE(browser.open("file://" + page)) << browser.error();
        return run.out;
    }

    void expectSameTable(HeadlessBrowser& browser, const std::string& out, std::size_t runs)
    {
        const nlohmann::json shown = browser.evaluate(kSummaryScript);
        ASSERT_TRUE(shown.is_array()) << shown.dump();
        EXPECT_EQ(shown.get<std::vector<std::vector<std::string>>>(), terminalTable(out, runs)) << out;
    }

    void expectProfileLines(HeadlessBrowser& browser, const std::vector<std::string>& labels)
    {
        const nlohmann::json lines = browser.evaluate(kProfileScript);
        ASSERT_TRUE(lines.is_array()) << lines.dump();
        ASSERT_EQ(lines.size(), labels.size()) << lines.dump();
        for (std::size_t i = 0; i < labels.size(); ++i) {
            EXPECT_EQ(lines[i]["run"], labels[i]);
            EXPECT_GE(lines[i]["points"].get<int>(), 2);
            EXPECT_GT(lines[i]["width"].get<double>(), 100);  // drawn across the plot
        }
    }

    void expectNothingWrong(const HeadlessBrowser& browser, const std::string& page)
    {
        for (const std::string& problem : browser.problems())
            ADD_FAILURE() << problem;
        for (const std::string& url : browser.requests())
            EXPECT_EQ(url, "file://" + page);
    }

    TempDir m_dir;
};

TEST_F(PageInBrowser, TwoRunsShowTheTerminalsNumbersAProfileAndAScatter)
{
    m_dir.write("rapido/sol_detalhes.csv", fastRun());
    m_dir.write("lento/sol_detalhes.csv", slowRun());
    const std::string page = m_dir.file("pagina.html");
    HeadlessBrowser browser(m_dir.folder("navegador"));
    const std::string out = openComparison(browser, {m_dir.file("rapido"), m_dir.file("lento")}, page);
    ASSERT_TRUE(out.starts_with(kHandMadeTable)) << out;

    expectSameTable(browser, out, 2);
    expectProfileLines(browser, {"rapido", "lento"});
    EXPECT_EQ(browser.evaluate("document.querySelectorAll('#dispersao path.pontos').length"), 2);
    EXPECT_EQ(browser.evaluate("document.querySelectorAll('#dispersao line.limite').length"), 2);
    EXPECT_EQ(browser.evaluate("document.querySelectorAll('#divergencias li').length"), 3);
    EXPECT_EQ(browser.evaluate("document.querySelectorAll('#modelos tr.divergencia').length"), 3);

    // Columns: model, then status, objective, time, check per run; lento's time is column 7.
    EXPECT_EQ(browser.evaluate(sortedBy(7)), "e.lp c.lp a.lp b.lp d.lp");
    EXPECT_EQ(browser.evaluate(sortedBy(7)), "d.lp b.lp a.lp c.lp e.lp");
    EXPECT_EQ(browser.evaluate(sortedBy(0)), "a.lp b.lp c.lp d.lp e.lp");
    EXPECT_GT(browser.printedPdf().size(), 1000u) << browser.error();
    expectNothingWrong(browser, page);
}

TEST_F(PageInBrowser, ThreeRunsHaveThreeProfileLinesAndNoScatter)
{
    m_dir.write("um/sol_detalhes.csv", fastRun());
    m_dir.write("dois/sol_detalhes.csv", slowRun());
    m_dir.write("tres/sol_detalhes.csv", fastRun());
    const std::string page = m_dir.file("tres.html");
    HeadlessBrowser browser(m_dir.folder("navegador"));
    const std::string out =
        openComparison(browser, {m_dir.file("um"), m_dir.file("dois"), m_dir.file("tres")}, page);
    expectSameTable(browser, out, 3);
    expectProfileLines(browser, {"um", "dois", "tres"});
    EXPECT_EQ(browser.evaluate("document.getElementById('dispersao') === null"), true);
    EXPECT_EQ(browser.evaluate("document.querySelectorAll('#vitorias li').length"), 3);
    expectNothingWrong(browser, page);
}

}  // namespace
