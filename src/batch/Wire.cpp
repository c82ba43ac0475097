#include "batch/Wire.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

#include <sys/socket.h>

namespace {

constexpr std::size_t kLengthBytes = sizeof(std::uint32_t);

class Writer {
public:
    template <typename T>
    void put(const T& value)
    {
        m_bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    template <typename T>
    void put(const std::optional<T>& value)
    {
        put<std::uint8_t>(value.has_value());
        put<T>(value.value_or(T{}));
    }
    void put(const std::string& text)
    {
        put<std::uint32_t>(static_cast<std::uint32_t>(text.size()));
        m_bytes += text;
    }
    std::string take() { return std::move(m_bytes); }

private:
    std::string m_bytes;
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    template <typename T>
    bool get(T& value)
    {
        if (m_bytes.size() < sizeof value)
            return false;
        std::memcpy(&value, m_bytes.data(), sizeof value);
        m_bytes.remove_prefix(sizeof value);
        return true;
    }
    template <typename T>
    bool get(std::optional<T>& value)
    {
        std::uint8_t present = 0;
        T content{};
        if (!get(present) || !get(content))
            return false;
        value = present ? std::optional<T>(content) : std::nullopt;
        return true;
    }
    bool get(std::string& text)
    {
        std::uint32_t length = 0;
        if (!get(length) || m_bytes.size() < length)
            return false;
        text.assign(m_bytes.substr(0, length));
        m_bytes.remove_prefix(length);
        return true;
    }
    bool done() const { return m_bytes.empty(); }

private:
    std::string_view m_bytes;
};

// The check's result, when the model got to it.
bool readCheck(Reader& reader, std::optional<CheckedSolution>& check)
{
    std::uint8_t present = 0;
    if (!reader.get(present) || present > 1)
        return false;
    if (!present)
        return true;
    CheckedSolution result;
    std::int32_t code = 0;
    std::uint8_t unsaved = 0;
    if (!reader.get(code) || !reader.get(result.maxViolation) || !reader.get(result.violated)
        || !reader.get(result.objective) || !reader.get(result.seconds) || !reader.get(result.reason)
        || !reader.get(unsaved) || code < 0 || code > static_cast<std::int32_t>(SolutionCheck::NotChecked)
        || unsaved > 1)
        return false;
    result.result = static_cast<SolutionCheck>(code);
    result.unsaved = unsaved != 0;
    check = std::move(result);
    return true;
}

}  // namespace

std::string encodeSolved(const SolvedModel& solved)
{
    const ModelOutcome& outcome = solved.outcome;
    Writer writer;
    writer.put(outcome.name);
    writer.put(static_cast<std::int32_t>(outcome.status));
    writer.put(static_cast<std::int32_t>(outcome.lines ? static_cast<int>(*outcome.lines) : -1));
    writer.put(static_cast<std::int32_t>(outcome.sense ? static_cast<int>(*outcome.sense) : -1));
    for (const std::optional<double>* value : {&outcome.readSeconds, &outcome.solveSeconds, &outcome.objective,
                                                &outcome.dualBound, &outcome.gap, &outcome.wallSeconds,
                                                &outcome.peakMemoryMb})
        writer.put(*value);
    writer.put(outcome.nodes);
    writer.put(outcome.lpIterations);
    writer.put<std::uint8_t>(outcome.check.has_value());
    if (outcome.check) {
        const CheckedSolution& check = *outcome.check;
        writer.put(static_cast<std::int32_t>(check.result));
        writer.put(check.maxViolation);
        writer.put(check.violated);
        writer.put(check.objective);
        writer.put(check.seconds);
        writer.put(check.reason);
        writer.put<std::uint8_t>(check.unsaved);
    }
    writer.put(solved.out);
    writer.put(solved.err);
    return writer.take();
}

std::optional<SolvedModel> decodeSolved(std::string_view bytes)
{
    Reader reader(bytes);
    SolvedModel solved;
    ModelOutcome& outcome = solved.outcome;
    std::int32_t status = 0;
    std::int32_t lines = 0;
    std::int32_t sense = 0;
    bool ok = reader.get(outcome.name) && reader.get(status) && reader.get(lines) && reader.get(sense);
    for (std::optional<double>* value : {&outcome.readSeconds, &outcome.solveSeconds, &outcome.objective,
                                          &outcome.dualBound, &outcome.gap, &outcome.wallSeconds,
                                          &outcome.peakMemoryMb})
        ok = ok && reader.get(*value);
    ok = ok && reader.get(outcome.nodes) && reader.get(outcome.lpIterations) && readCheck(reader, outcome.check)
        && reader.get(solved.out) && reader.get(solved.err) && reader.done();
    const std::optional<ModelStatus> known = statusAt(status);
    if (!ok || !known || lines < -1 || lines > static_cast<std::int32_t>(ReportLines::NameOnly) || sense < -1
        || sense > static_cast<std::int32_t>(Sense::Maximize))
        return std::nullopt;
    outcome.status = *known;
    if (lines >= 0)
        outcome.lines = static_cast<ReportLines>(lines);
    if (sense >= 0)
        outcome.sense = static_cast<Sense>(sense);
    return solved;
}

std::string frame(std::string_view payload)
{
    const std::uint32_t length = static_cast<std::uint32_t>(payload.size());
    std::string message(reinterpret_cast<const char*>(&length), kLengthBytes);
    message += payload;
    return message;
}

bool sendMessage(int fd, std::string_view payload)
{
    return sendFramed(fd, frame(payload));
}

bool sendFramed(int fd, std::string_view messages)
{
    std::string_view left = messages;
    while (!left.empty()) {
        const ssize_t count = send(fd, left.data(), left.size(), MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        left.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

MessageBuffer::Read MessageBuffer::fill(int fd, bool wait)
{
    char chunk[4096];
    for (int flags = wait ? 0 : MSG_DONTWAIT;; flags = MSG_DONTWAIT) {
        const ssize_t count = recv(fd, chunk, sizeof chunk, flags);
        if (count > 0) {
            m_bytes.append(chunk, static_cast<std::size_t>(count));
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return Read::Data;
        return Read::Closed;
    }
}

bool MessageBuffer::hasMessage() const
{
    std::uint32_t length = 0;
    if (m_bytes.size() < kLengthBytes)
        return false;
    std::memcpy(&length, m_bytes.data(), kLengthBytes);
    return m_bytes.size() >= kLengthBytes + length;
}

std::optional<std::string> MessageBuffer::next()
{
    std::uint32_t length = 0;
    if (m_bytes.size() < kLengthBytes)
        return std::nullopt;
    std::memcpy(&length, m_bytes.data(), kLengthBytes);
    if (m_bytes.size() < kLengthBytes + length)
        return std::nullopt;
    std::string payload = m_bytes.substr(kLengthBytes, length);
    m_bytes.erase(0, kLengthBytes + length);
    return payload;
}
