// The progress line: drawn on a terminal while the log is off, gone from what the terminal
// finally shows, never drawn into a pipe.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include <unistd.h>

#include "Process.h"
#include "PtySession.h"
#include "Screen.h"
#include "TempDir.h"

// Models and console helpers of the fault tests, whose header clashes with the terminal's.
std::string lpWithOptimum(int optimum);
std::string mipWithOptimum(int optimum);
std::string brokenModel();
std::string withoutTimes(const std::string& console);

namespace {

constexpr std::string_view kEnd = "\r\033[K";

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// The command line on a terminal of its own, its arguments after the program's name.
class CommandLineOnTerminal {
public:
    // With a file named, standard output goes there instead.
    explicit CommandLineOnTerminal(std::vector<std::string> arguments, std::string outputFile = {})
        : m_arguments(std::move(arguments)), m_outputFile(std::move(outputFile)),
          m_session([this] { return run(); }, PtySession::Options{})
    {
    }
    PtySession& session() { return m_session; }

private:
    int run()
    {
        if (!m_outputFile.empty() && !std::freopen(m_outputFile.c_str(), "w", stdout))
            return 126;
        m_arguments.insert(m_arguments.begin(), lumbrixBinary());
        std::vector<char*> argv;
        for (std::string& argument : m_arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        return 127;
    }

    std::vector<std::string> m_arguments;
    std::string m_outputFile;
    PtySession m_session;
};

void writeModels(const TempDir& models)
{
    models.write("a.lp", lpWithOptimum(3));
    models.write("b.lp", brokenModel());
    models.write("c.lp", mipWithOptimum(4));
}

TEST(ProgressLine, DrawnAtATerminalAndErasedAroundEveryReport)
{
    TempDir models, output, piped;
    writeModels(models);
    CommandLineOnTerminal terminal({"opt", models.path(), output.path(), "--quiet"});
    PtySession& session = terminal.session();
    EXPECT_EQ(session.waitForExit(), 1);
    const std::string& raw = session.output();

    // Drawn at the start and as each model ends, each time over the old line.
    for (const char* text : {"0/3 modelos (0%), 0:00:00 decorrido; 0 ótimos, 0 falhas",
                             "1/3 modelos (33%), 0:00:00 decorrido, faltam ~0:00:00; 1 ótimos, 0 falhas",
                             "2/3 modelos (66%), 0:00:00 decorrido, faltam ~0:00:00; 1 ótimos, 1 falhas",
                             "3/3 modelos (100%), 0:00:00 decorrido; 2 ótimos, 1 falhas"})
        EXPECT_NE(raw.find("\r" + std::string(text) + "\033[K"), std::string::npos) << text << " in:\n" << raw;
    // Erased before anything else reaches the terminal: every drawing is followed by an erasing.
    std::size_t drawn = 0;
    for (std::size_t at = raw.find("decorrido"); at != std::string::npos; at = raw.find("decorrido", at + 1)) {
        ++drawn;
        const std::size_t end = raw.find("\033[K", at) + 3;
        EXPECT_EQ(raw.substr(end, kEnd.size()), kEnd) << "after drawing " << drawn << ": " << raw.substr(end, 40);
    }
    EXPECT_EQ(drawn, 4u);

    // The terminal then shows what a pipe gets, the report and the summary, and no progress.
    // The engine's complaints about the broken model go to standard error, the same terminal
    // (SCIP adds a warning of its own).
    std::vector<std::string> screen = session.screen();
    std::erase_if(screen, [](const std::string& line) { return line.starts_with("[") || line.starts_with("WARNING:"); });
    const std::string shown = joined(screen);
    EXPECT_EQ(shown.find("decorrido"), std::string::npos) << shown;
    const ProcessResult inPipe = runProcess({lumbrixBinary(), "opt", models.path(), piped.path(), "--quiet"});
    const std::string summaryStart = "Resumo: 3 modelos em ";
    ASSERT_NE(shown.find(summaryStart), std::string::npos) << shown;
    EXPECT_EQ(withoutTimes(shown.substr(0, shown.find(summaryStart))), withoutTimes(inPipe.out));
    EXPECT_EQ(inPipe.err.find("decorrido"), std::string::npos) << inPipe.err;
    EXPECT_EQ(inPipe.err.find('\r'), std::string::npos) << inPipe.err;
}

// The report goes to a file: the line stays up while models are solved, and is only
// replaced as each ends.
TEST(ProgressLine, StaysUpWhenTheReportGoesElsewhere)
{
    TempDir models, output, report;
    models.write("a.lp", lpWithOptimum(3));
    models.write("b.lp", mipWithOptimum(4));
    CommandLineOnTerminal terminal({"opt", models.path(), output.path(), "--quiet"}, report.file("relatorio.txt"));
    EXPECT_EQ(terminal.session().waitForExit(), 0);
    const std::string& raw = terminal.session().output();
    const std::string expected = "\r0/2 modelos (0%), 0:00:00 decorrido; 0 ótimos, 0 falhas\033[K"
                                 "\r\033[K\r1/2 modelos (50%), 0:00:00 decorrido, faltam ~0:00:00; 1 ótimos, 0 falhas\033[K"
                                 "\r\033[K\r2/2 modelos (100%), 0:00:00 decorrido; 2 ótimos, 0 falhas\033[K"
                                 "\r\033[KResumo: 2 modelos em ";
    EXPECT_TRUE(raw.starts_with(expected)) << raw;
    const std::string text = readFile(report.file("relatorio.txt"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12) << text;
    EXPECT_EQ(text.find("decorrido"), std::string::npos);
}

TEST(ProgressLine, NotDrawnWhileTheLogFillsTheTerminal)
{
    TempDir models, output;
    writeModels(models);
    CommandLineOnTerminal terminal({"opt", models.path(), output.path()});
    EXPECT_EQ(terminal.session().waitForExit(), 1);
    EXPECT_EQ(terminal.session().output().find("decorrido"), std::string::npos);
    EXPECT_NE(terminal.session().output().find("Resumo: 3 modelos"), std::string::npos);
}

TEST(ProgressLine, AtTheShellToo)
{
    TempDir models, output;
    writeModels(models);
    PtySession session(PtySession::Options{});
    ASSERT_TRUE(session.waitFor("Lumbrix> "));
    session.type("verbose\nn\nopt\n" + models.path() + "\n" + output.path() + "\n");
    ASSERT_TRUE(session.waitFor("STATUS: SOL OTIMA\n"));
    ASSERT_TRUE(session.waitFor("Lumbrix> "));
    session.type("exit\n");
    EXPECT_EQ(session.waitForExit(), 0);
    EXPECT_NE(session.output().find("\r3/3 modelos (100%), 0:00:00 decorrido; 2 ótimos, 1 falhas\033[K\r\033[K"),
              std::string::npos)
        << session.output();
    const std::string shown = joined(session.screen());
    EXPECT_EQ(shown.find("decorrido"), std::string::npos) << shown;
    // No summary at the shell.
    EXPECT_EQ(shown.find("Resumo"), std::string::npos) << shown;
    EXPECT_NE(shown.find("STATUS: SOL OTIMA\nLumbrix> exit\nSaindo do shell..."), std::string::npos) << shown;
}

}  // namespace
