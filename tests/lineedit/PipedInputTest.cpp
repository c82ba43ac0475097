// Input that is not typed at a terminal is read plainly: byte for byte, nothing echoed,
// nothing added, no completion.

#include <string>

#include <gtest/gtest.h>

#include "Process.h"
#include "PtySession.h"
#include "shell/Settings.h"
#include "shell/Commands.h"

namespace {

const std::string kVerboseQuestion = "Imprimir log do solver? (s/n)> ";
const std::string kInvalidOption = "Opção inexistente, favor selecionar uma opção válida.\n";

TEST(PipedInputTest, ScriptedSessionIsByteIdentical)
{
    // A line with NUL bytes, a Tab that completes nothing, an answer with a trailing blank,
    // and a last answer without a line break.
    const std::string input = std::string("help\nhe\0lp\n", 11) + "hel\t\nverbose\nn \nverbose\nn";
    const ProcessResult result = runLumbrix(input);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, aboutText() + "Lumbrix> " + helpText() + "Lumbrix> Lumbrix> Lumbrix> " + kVerboseQuestion
                              + kInvalidOption + "Lumbrix> " + kVerboseQuestion + "Lumbrix> Saindo do shell...\n");
    EXPECT_EQ(result.err, std::string(kUnknownCommand) + std::string(kUnknownCommand));
}

TEST(PipedInputTest, EndOfInputAtAQuestionIsAnEmptyAnswer)
{
    const ProcessResult result = runLumbrix("verbose\n");
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, aboutText() + "Lumbrix> " + kVerboseQuestion + kInvalidOption + "Lumbrix> Saindo do shell...\n");
    EXPECT_EQ(result.err, "");
}

TEST(PipedInputTest, TerminalInputWithOutputToAPipeIsReadPlainly)
{
    // The terminal does its own echo and line editing; the program adds nothing to the log.
    PtySession session(PtySession::Options{"", {}, true});
    session.type("hel\t\r");
    session.type("exit\r");
    ASSERT_EQ(session.waitForExit(), 0);
    EXPECT_EQ(session.pipedOutput(),
              aboutText() + "Lumbrix> " + std::string(kUnknownCommand) + "Lumbrix> Saindo do shell...\n");
}

}  // namespace
