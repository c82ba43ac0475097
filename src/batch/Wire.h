#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "report/Outcome.h"

// What a solver process and the run say to each other: messages of a 4-byte length and as
// many bytes, over a stream socket.

// A model's outcome with what its solver wrote meanwhile, when that was captured.
struct SolvedModel {
    ModelOutcome outcome;
    std::string out;
    std::string err;
};

std::string encodeSolved(const SolvedModel& solved);
std::optional<SolvedModel> decodeSolved(std::string_view bytes);

// Sends one message whole; false when the other side is gone. Never raises SIGPIPE.
bool sendMessage(int fd, std::string_view payload);

// A message with its length in front, and several such sent at once.
std::string frame(std::string_view payload);
bool sendFramed(int fd, std::string_view messages);

// The bytes that have arrived on a socket, cut into messages as they complete.
class MessageBuffer {
public:
    enum class Read { Data, Closed };
    // Takes what can be read now, waiting for something first when `wait`.
    Read fill(int fd, bool wait = false);
    // The next whole message, if one has arrived.
    std::optional<std::string> next();
    bool hasMessage() const;

private:
    std::string m_bytes;
};
