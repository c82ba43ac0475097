// The shell at a terminal: keys typed into a pseudo-terminal, the screen read back.

#include <algorithm>
#include <csignal>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <termios.h>

#include "PtySession.h"
#include "TempDir.h"
#include "shell/Commands.h"

namespace {

constexpr const char* kUp = "\033[A";
constexpr const char* kLeft = "\033[D";
constexpr const char* kHome = "\033[H";
constexpr const char* kEnd = "\033[F";
constexpr const char* kDelete = "\033[3~";
constexpr const char* kBackspace = "\177";
constexpr const char* kCtrlA = "\001";
constexpr const char* kCtrlC = "\003";
constexpr const char* kCtrlD = "\004";
constexpr const char* kCtrlE = "\005";
constexpr const char* kHelpFirstLine = " opt            otimizar arquivos";
constexpr const char* kAboutLastLine = "Para acessar as funcionalidades digite 'help'. \n\n";
constexpr const char* kModelQuestion = "Digite o caminho da pasta de arquivos .lp> ";
constexpr const char* kOutputQuestion = "Digite o caminho da pasta para gerar o output> ";
constexpr const char* kVerboseQuestion = "Imprimir log do solver? (s/n)> ";

class TerminalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session = std::make_unique<PtySession>(PtySession::Options{dir.path(), {}, false});
        ASSERT_TRUE(session->waitFor(kAboutLastLine)) << dump();
        ASSERT_TRUE(session->waitFor("Lumbrix> ")) << dump();
    }

    // Types the keys, then waits for the text; the test stops if it never comes.
    void expect(const std::string& keys, const std::string& text)
    {
        session->type(keys);
        ASSERT_TRUE(session->waitFor(text)) << "after typing " << ::testing::PrintToString(keys) << "\n" << dump();
    }

    // A command runs and the shell asks for the next one.
    void expectCommand(const std::string& keys, const std::string& output)
    {
        expect(keys, output);
        ASSERT_TRUE(session->waitFor("Lumbrix> ")) << dump();
    }

    void endSession()
    {
        expect(kCtrlD, "Saindo do shell...\n");
        EXPECT_EQ(session->waitForExit(), 0) << dump();
    }

    bool screenHas(const std::string& line) const
    {
        const auto lines = session->screen();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    std::string dump() const
    {
        std::string text = "screen:\n";
        for (const auto& line : session->screen())
            text += "|" + line + "|\n";
        return text;
    }

    TempDir dir;
    std::unique_ptr<PtySession> session;
};

TEST_F(TerminalTest, TabCompletesCommandWordsWithNothingAppended)
{
    expectCommand("hel\t\r", kHelpFirstLine);
    EXPECT_TRUE(screenHas("Lumbrix> help")) << dump();
    expectCommand("ab\t\r", kAboutLastLine);
    expect("ti\t\r", "Digite o tempo máximo para resolução dos modelos (seg)> ");
    expectCommand("5\r", "\n");
    expect("ve\t\r", kVerboseQuestion);
    expectCommand("s\r", "\n");
    // Tab offers command words only, never the names of files.
    dir.write("opt_notas.txt", "");
    expect("op\t\r", kModelQuestion);
    EXPECT_TRUE(screenHas("Lumbrix> opt")) << dump();
    expectCommand("\r", "Pasta de .lps inexistente ou inválida...\n");
    expectCommand("xy\t\r", std::string(kUnknownCommand));
    EXPECT_TRUE(screenHas("Lumbrix> xy")) << dump();
    endSession();
}

TEST_F(TerminalTest, EditingKeysWorkAnywhereInTheLine)
{
    // Left arrow, then a letter inserted in the middle.
    expectCommand(std::string("hlp") + kLeft + kLeft + "e\r", kHelpFirstLine);
    // Ctrl-A and Ctrl-E.
    expectCommand(std::string("elp") + kCtrlA + "h" + kCtrlE + "\r", kHelpFirstLine);
    // Home and End.
    expectCommand(std::string("bou") + kHome + "a" + kEnd + "t\r", kAboutLastLine);
    // Backspace in the middle, Delete at the start.
    expectCommand(std::string("xheelp") + kLeft + kLeft + kBackspace + kHome + kDelete + "\r", kHelpFirstLine);
    EXPECT_TRUE(screenHas("Lumbrix> help")) << dump();
    // Edits at a follow-up question reach the answer: "n" is accepted, "sn" would not be.
    expect("verbose\r", kVerboseQuestion);
    expectCommand(std::string("sn") + kHome + kDelete + "\r", "\n");
    expect("verbose\r", kVerboseQuestion);
    expectCommand(std::string("sn") + kBackspace + kBackspace + "n \r", "Opção inexistente, favor selecionar uma opção válida.\n");
    // An accented letter is one character to edit, even where the environment names no
    // locale: one backspace takes both of its bytes.
    expect("verbose\r", kVerboseQuestion);
    expectCommand(std::string("sé") + kBackspace + "\r", "\n");
    EXPECT_EQ(session->output().find("Opção inexistente", session->output().rfind("sé")), std::string::npos) << dump();
    endSession();
}

TEST_F(TerminalTest, UpArrowRecallsEarlierLinesOfTheSameKindOfPrompt)
{
    dir.folder("modelos");
    dir.folder("saida");
    expectCommand("help\r", kHelpFirstLine);
    expectCommand("about\r", kAboutLastLine);
    expectCommand(std::string(kUp) + kUp + "\r", kHelpFirstLine);
    const auto lines = session->screen();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Lumbrix> help"), 2) << dump();

    expect("opt\r", kModelQuestion);
    expect("modelos\r", kOutputQuestion);
    expectCommand("saida\r", "\n");
    // At the folder questions the up arrow brings back paths, not commands.
    expect(std::string(kUp) + "\r", kModelQuestion);
    expect(std::string(kUp) + kUp + "\r", kOutputQuestion);
    expectCommand(std::string(kUp) + kUp + "\r", "\n");
    EXPECT_TRUE(screenHas(std::string(kModelQuestion) + "modelos")) << dump();
    EXPECT_TRUE(screenHas(std::string(kOutputQuestion) + "saida")) << dump();
    EXPECT_FALSE(screenHas(std::string(kModelQuestion) + "opt")) << dump();
    endSession();
}

TEST_F(TerminalTest, TabCompletesPathsAtTheFolderQuestions)
{
    dir.write("modelos_longos/sub/a.lp", "Minimize\n obj: x\nSubject To\n c1: x >= 1\nEnd\n");
    dir.folder("saída com espaço");
    dir.write("unico_arquivo.lp", "");

    // Folders get their '/', and Tab goes on inside them; blanks are not quoted.
    expect("opt\r", kModelQuestion);
    expect("mod\tsu\t\r", kOutputQuestion);
    expect("sa\t\r", "MODELO 0 \n");
    ASSERT_TRUE(session->waitFor("Lumbrix> ")) << dump();
    EXPECT_TRUE(screenHas(std::string(kModelQuestion) + "modelos_longos/sub/")) << dump();
    EXPECT_TRUE(screenHas(std::string(kOutputQuestion) + "saída com espaço/")) << dump();
    EXPECT_TRUE(fileExists(dir.file("saída com espaço/sol_stat.csv")));

    // A file name is completed with nothing after it.
    expect("opt\r", kModelQuestion);
    expectCommand("unic\t\r", "Pasta de .lps inexistente ou inválida...\n");
    EXPECT_TRUE(screenHas(std::string(kModelQuestion) + "unico_arquivo.lp")) << dump();

    // '~' is not the home folder to the program, so Tab does not make it one.
    expect("opt\r", kModelQuestion);
    expectCommand("~/inp\t\r", "Pasta de .lps inexistente ou inválida...\n");
    EXPECT_TRUE(screenHas(std::string(kModelQuestion) + "~/inp")) << dump();
    endSession();
}

TEST_F(TerminalTest, TabCompletesNothingAtOtherQuestions)
{
    dir.write("sim.txt", "");
    expect("verbose\r", kVerboseQuestion);
    expectCommand("s\t\r", "\n");
    EXPECT_TRUE(screenHas(std::string(kVerboseQuestion) + "s")) << dump();
    EXPECT_EQ(session->output().find("Opção inexistente"), std::string::npos) << dump();
    endSession();
}

TEST_F(TerminalTest, CtrlCDropsTheLineAndAsksAgain)
{
    expect("hel", "hel");
    expect(kCtrlC, "Lumbrix> ");
    EXPECT_TRUE(screenHas("Lumbrix> hel^C")) << dump();
    // The dropped text is gone: only "p" reaches the shell.
    expectCommand("p\r", std::string(kUnknownCommand));
    EXPECT_TRUE(screenHas("Lumbrix> p")) << dump();

    expect("verbose\r", kVerboseQuestion);
    expect("xyz", "xyz");
    expect(kCtrlC, kVerboseQuestion);
    expectCommand("n\r", "\n");
    EXPECT_EQ(session->output().find("Opção inexistente"), std::string::npos) << dump();
    endSession();
}

TEST_F(TerminalTest, CtrlDIsAnEmptyAnswerAndEndsTheShellAtTheCommandPrompt)
{
    expect("verbose\r", kVerboseQuestion);
    expectCommand(kCtrlD, "\nOpção inexistente, favor selecionar uma opção válida.\n");
    // On a line with text Ctrl-D deletes and does not end anything.
    expectCommand(std::string("helpx") + kLeft + kCtrlD + "\r", kHelpFirstLine);
    expect(kCtrlD, "\nSaindo do shell...\n");
    EXPECT_EQ(session->waitForExit(), 0) << dump();
    const auto lines = session->screen();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "Lumbrix> ") << dump();
    EXPECT_EQ(lines[lines.size() - 1], "Saindo do shell...") << dump();
}

TEST_F(TerminalTest, TerminalIsRestoredWhenASignalEndsTheProgramAtAPrompt)
{
    expect("hel", "hel");
    termios editing = {};
    ASSERT_EQ(tcgetattr(session->terminal(), &editing), 0);
    ASSERT_EQ(editing.c_lflag & (ICANON | ECHO), 0u);
    ASSERT_EQ(kill(session->pid(), SIGTERM), 0);
    EXPECT_EQ(session->waitForExit(), -1);
    EXPECT_EQ(session->endSignal(), SIGTERM);
    termios after = {};
    ASSERT_EQ(tcgetattr(session->terminal(), &after), 0);
    EXPECT_EQ(after.c_lflag & (ICANON | ECHO | ISIG), tcflag_t(ICANON | ECHO | ISIG));
}

TEST_F(TerminalTest, LineSurvivesASignalThatDoesNotEndTheProgram)
{
    // Here the stop signal is dropped (no shell controls this terminal), so the program
    // goes on at once with the half-typed line.
    expect("hel", "hel");
    ASSERT_EQ(kill(session->pid(), SIGTSTP), 0);
    expect("", "Lumbrix> hel");
    expectCommand("p\r", kHelpFirstLine);
    endSession();
}

}  // namespace
