// What a solver process sends back arrives whole, field for field.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include <sys/socket.h>
#include <unistd.h>

#include "batch/Wire.h"

namespace {

TEST(Wire, AnOutcomeAndItsCapturesComeBackAsSent)
{
    SolvedModel sent;
    sent.outcome.name = "a;b\n.lp";
    sent.outcome.status = ModelStatus::TimeLimit;
    sent.outcome.lines = ReportLines::NameStatus;
    sent.outcome.readSeconds = 0.25;
    sent.outcome.objective = -1e20;
    sent.outcome.dualBound = 3.5;
    sent.outcome.nodes = 1234567890123LL;
    sent.outcome.peakMemoryMb = 12.5;
    sent.out = std::string("original problem has\0 2 variables\n", 35);
    sent.err = "[x.cpp:1] ERROR: \n";

    const auto received = decodeSolved(encodeSolved(sent));
    ASSERT_TRUE(received);
    EXPECT_EQ(received->outcome.name, sent.outcome.name);
    EXPECT_EQ(received->outcome.status, ModelStatus::TimeLimit);
    EXPECT_EQ(received->outcome.lines, ReportLines::NameStatus);
    EXPECT_EQ(received->outcome.readSeconds, 0.25);
    EXPECT_FALSE(received->outcome.solveSeconds);
    EXPECT_EQ(received->outcome.objective, -1e20);
    EXPECT_EQ(received->outcome.dualBound, 3.5);
    EXPECT_FALSE(received->outcome.gap);
    EXPECT_EQ(received->outcome.nodes, 1234567890123LL);
    EXPECT_FALSE(received->outcome.lpIterations);
    EXPECT_EQ(received->outcome.peakMemoryMb, 12.5);
    EXPECT_EQ(received->out, sent.out);
    EXPECT_EQ(received->err, sent.err);

    const std::string bytes = encodeSolved(sent);
    EXPECT_FALSE(decodeSolved(bytes.substr(0, bytes.size() - 1)));
    EXPECT_FALSE(decodeSolved(bytes + "x"));
}

// The check's result crosses, never the solution itself; every verdict, and none beyond them.
TEST(Wire, TheCheckOfTheSolutionComesBackWithoutTheSolution)
{
    SolvedModel sent;
    sent.outcome.solution = Solution{{"x", "y"}, {1.5, 2}};
    const std::string unchecked = encodeSolved(sent);
    ASSERT_TRUE(decodeSolved(unchecked));
    EXPECT_FALSE(decodeSolved(unchecked)->outcome.check);
    EXPECT_FALSE(decodeSolved(unchecked)->outcome.solution);

    CheckedSolution check;
    check.result = SolutionCheck::Infeasible;
    check.maxViolation = 1e-5;
    check.violated = "c,\"1\"";
    check.objective = 0.3;
    check.seconds = 0.001;
    check.reason = "why";
    check.unsaved = true;
    sent.outcome.check = check;
    const std::string bytes = encodeSolved(sent);
    const auto received = decodeSolved(bytes);
    ASSERT_TRUE(received);
    ASSERT_TRUE(received->outcome.check);
    const CheckedSolution& got = *received->outcome.check;
    EXPECT_EQ(got.result, SolutionCheck::Infeasible);
    EXPECT_EQ(got.maxViolation, 1e-5);
    EXPECT_EQ(got.violated, check.violated);
    EXPECT_EQ(got.objective, 0.3);
    EXPECT_EQ(got.seconds, 0.001);
    EXPECT_EQ(got.reason, "why");
    EXPECT_TRUE(got.unsaved);
    // The solution's names and values are not in the message at all.
    EXPECT_EQ(bytes.size(), unchecked.size() + 1 + 4 + 9 + 4 + check.violated.size() + 9 + 9 + 4 + 3);
    for (const SolutionCheck verdict : {SolutionCheck::Feasible, SolutionCheck::NoSolution, SolutionCheck::NotChecked}) {
        sent.outcome.check->result = verdict;
        ASSERT_TRUE(decodeSolved(encodeSolved(sent)));
        EXPECT_EQ(decodeSolved(encodeSolved(sent))->outcome.check->result, verdict);
    }
    std::string beyond = bytes;
    const std::int32_t code = 4;
    std::memcpy(beyond.data() + unchecked.size() - 8 - 1 + 1, &code, sizeof code);
    EXPECT_FALSE(decodeSolved(beyond));
}

// Every status of the table crosses, and nothing beyond the table is taken for one: a model's
// result must never be credited to another status, or lost, on the way.
TEST(Wire, EveryStatusOfTheTableComesBackAndNoOther)
{
    for (const StatusInfo& info : statusTable()) {
        for (const auto sense : {std::optional<Sense>(), std::optional<Sense>(Sense::Maximize)}) {
            SolvedModel sent;
            sent.outcome.status = info.status;
            sent.outcome.sense = sense;
            const auto received = decodeSolved(encodeSolved(sent));
            ASSERT_TRUE(received) << info.code;
            EXPECT_EQ(received->outcome.status, info.status) << info.text;
            EXPECT_EQ(received->outcome.sense, sense);
            EXPECT_FALSE(received->outcome.lines);
        }
    }
    SolvedModel sent;
    std::string bytes = encodeSolved(sent);
    const std::size_t statusAt = 4;  // after the empty name's length
    for (const std::int32_t beyond : {static_cast<std::int32_t>(statusTable().size()), std::int32_t{-1}}) {
        std::memcpy(bytes.data() + statusAt, &beyond, sizeof beyond);
        EXPECT_FALSE(decodeSolved(bytes)) << beyond;
    }
}

TEST(Wire, MessagesAreCutWhereTheyEndWhateverArrivesAtOnce)
{
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    ASSERT_TRUE(sendMessage(ends[0], "first"));
    ASSERT_TRUE(sendMessage(ends[0], ""));
    ASSERT_TRUE(sendMessage(ends[0], std::string(100000, 'x')));
    MessageBuffer buffer;
    std::vector<std::string> messages;
    while (messages.size() < 3) {
        ASSERT_EQ(buffer.fill(ends[1]), MessageBuffer::Read::Data);
        while (auto message = buffer.next())
            messages.push_back(*message);
    }
    EXPECT_EQ(messages, (std::vector<std::string>{"first", "", std::string(100000, 'x')}));
    EXPECT_FALSE(buffer.hasMessage());
    close(ends[0]);
    EXPECT_EQ(buffer.fill(ends[1]), MessageBuffer::Read::Closed);
    close(ends[1]);
}

}  // namespace
