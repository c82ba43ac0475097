#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// How a model file's bytes are stored.
enum class Compression : unsigned char {
    None,
    Gzip,   // gzip, or plain text as zlib's gzread passes it through (SCIP reads files so)
    Bzip2,  // bzip2 only: plain text is refused
};

// Decodes a stream fed in pieces of any size. Gzip takes concatenated members and ignores
// what follows the last one, as gzread does; Bzip2 takes concatenated streams. A decoder of
// None passes its input on.
class Decoder {
public:
    // Receives each decoded piece; false stops the decoding (the reader went away).
    using Sink = std::function<bool(const char* data, std::size_t size)>;

    explicit Decoder(Compression compression);
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // Decodes the next piece of input. False, with reason() set, when the data is not of the
    // kind or the sink stopped. Throws std::bad_alloc when the library runs out of memory.
    bool feed(const char* data, std::size_t size, const Sink& sink);
    // After the last piece: false, with reason() set, when the data stopped inside a stream.
    bool finish(const Sink& sink);
    const std::string& reason() const { return m_reason; }

private:
    struct State;
    bool fail(std::string reason);
    bool start(const char* data, std::size_t size, const Sink& sink);
    bool inflatePiece(const char* data, std::size_t size, const Sink& sink);
    bool bunzipPiece(const char* data, std::size_t size, const Sink& sink);

    Compression m_compression;
    enum class Mode : unsigned char { Undecided, Plain, Gzip, Bzip2, Trailing, Failed } m_mode = Mode::Undecided;
    std::string m_head;  // the first bytes, until they tell the kind
    std::unique_ptr<State> m_state;
    bool m_inStream = false;  // inside a compressed stream that has not ended
    std::string m_reason;
};
