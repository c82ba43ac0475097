#include "engines/model/Decompress.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include <bzlib.h>
#include <zlib.h>

namespace {

constexpr std::size_t kOutputPiece = std::size_t{256} << 10;
// The libraries count input in unsigned ints.
constexpr std::size_t kLargestInput = std::size_t{1} << 30;

bool startsStream(Compression compression, const std::string& head)
{
    if (compression == Compression::Gzip)
        return static_cast<unsigned char>(head[0]) == 0x1f && static_cast<unsigned char>(head[1]) == 0x8b;
    return head[0] == 'B' && head[1] == 'Z';
}

}  // namespace

struct Decoder::State {
    z_stream zlib{};
    bool zlibReady = false;
    bz_stream bzip{};
    bool bzipReady = false;
    char output[kOutputPiece];

    ~State()
    {
        if (zlibReady)
            inflateEnd(&zlib);
        if (bzipReady)
            BZ2_bzDecompressEnd(&bzip);
    }
};

Decoder::Decoder(Compression compression) : m_compression(compression)
{
    if (compression == Compression::None)
        m_mode = Mode::Plain;
}

Decoder::~Decoder() = default;

bool Decoder::fail(std::string reason)
{
    m_mode = Mode::Failed;
    m_reason = std::move(reason);
    return false;
}

bool Decoder::feed(const char* data, std::size_t size, const Sink& sink)
{
    while (size > 0) {
        switch (m_mode) {
        case Mode::Failed:
            return false;
        case Mode::Trailing:
            return true;
        case Mode::Plain:
            return sink(data, size) || fail("the reader stopped");
        case Mode::Undecided: {
            // The first two bytes of a stream tell its kind.
            const std::size_t take = std::min(size, 2 - m_head.size());
            m_head.append(data, take);
            data += take;
            size -= take;
            if (m_head.size() < 2)
                return true;
            const std::string head = std::move(m_head);
            m_head.clear();
            if (!start(head.data(), head.size(), sink))
                return false;
            break;
        }
        case Mode::Gzip:
        case Mode::Bzip2: {
            const std::size_t piece = std::min(size, kLargestInput);
            const bool ok = m_mode == Mode::Gzip ? inflatePiece(data, piece, sink) : bunzipPiece(data, piece, sink);
            if (!ok)
                return false;
            // A stream may end inside the piece: what is left is the next stream's, or trailing.
            const std::size_t left = m_compression == Compression::Gzip ? m_state->zlib.avail_in : m_state->bzip.avail_in;
            const std::size_t used = piece - left;
            if (used == 0 && (m_mode == Mode::Gzip || m_mode == Mode::Bzip2))
                return fail("the decompression stopped making progress");
            data += used;
            size -= used;
            break;
        }
        }
    }
    return true;
}

// `head` is the first two bytes of a stream, or of what follows one.
bool Decoder::start(const char* head, std::size_t size, const Sink& sink)
{
    const bool first = !m_state;
    if (!startsStream(m_compression, std::string(head, size))) {
        if (!first) {  // what follows the last stream is ignored, as the tools do
            m_mode = Mode::Trailing;
            return true;
        }
        if (m_compression == Compression::Bzip2)
            return fail("not bzip2 data (the file does not start as a bzip2 file does)");
        m_mode = Mode::Plain;
        return sink(head, size) || fail("the reader stopped");
    }
    if (first)
        m_state = std::make_unique<State>();
    State& state = *m_state;
    if (m_compression == Compression::Gzip) {
        if (state.zlibReady) {
            if (inflateReset(&state.zlib) != Z_OK)
                return fail("zlib could not start the next gzip member");
        } else {
            const int code = inflateInit2(&state.zlib, 15 + 16);
            if (code == Z_MEM_ERROR)
                throw std::bad_alloc();
            if (code != Z_OK)
                return fail("zlib could not start");
            state.zlibReady = true;
        }
        m_mode = Mode::Gzip;
    } else {
        if (state.bzipReady) {
            BZ2_bzDecompressEnd(&state.bzip);
            state.bzipReady = false;
        }
        state.bzip = bz_stream{};
        const int code = BZ2_bzDecompressInit(&state.bzip, 0, 0);
        if (code == BZ_MEM_ERROR)
            throw std::bad_alloc();
        if (code != BZ_OK)
            return fail("libbz2 could not start");
        state.bzipReady = true;
        m_mode = Mode::Bzip2;
    }
    m_inStream = true;
    // The head itself is the stream's first input.
    return m_mode == Mode::Gzip ? inflatePiece(head, size, sink) : bunzipPiece(head, size, sink);
}

// Decodes until `data` is used up or the stream ends; avail_in then holds what is left.
bool Decoder::inflatePiece(const char* data, std::size_t size, const Sink& sink)
{
    z_stream& zlib = m_state->zlib;
    zlib.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    zlib.avail_in = static_cast<uInt>(size);
    for (;;) {
        zlib.next_out = reinterpret_cast<Bytef*>(m_state->output);
        zlib.avail_out = static_cast<uInt>(kOutputPiece);
        const int code = inflate(&zlib, Z_NO_FLUSH);
        const std::size_t produced = kOutputPiece - zlib.avail_out;
        if (code == Z_MEM_ERROR)
            throw std::bad_alloc();
        if (code != Z_OK && code != Z_STREAM_END && code != Z_BUF_ERROR)
            return fail(std::string("corrupt gzip data (") + (zlib.msg != nullptr ? zlib.msg : "zlib error") + ")");
        if (produced > 0 && !sink(m_state->output, produced))
            return fail("the reader stopped");
        if (code == Z_STREAM_END) {
            m_inStream = false;
            m_mode = Mode::Undecided;
            return true;
        }
        if (zlib.avail_in == 0 && produced < kOutputPiece)
            return true;
        if (code == Z_BUF_ERROR && produced == 0)
            return true;
    }
}

bool Decoder::bunzipPiece(const char* data, std::size_t size, const Sink& sink)
{
    bz_stream& bzip = m_state->bzip;
    bzip.next_in = const_cast<char*>(data);
    bzip.avail_in = static_cast<unsigned>(size);
    for (;;) {
        bzip.next_out = m_state->output;
        bzip.avail_out = static_cast<unsigned>(kOutputPiece);
        const int code = BZ2_bzDecompress(&bzip);
        const std::size_t produced = kOutputPiece - bzip.avail_out;
        if (code == BZ_MEM_ERROR)
            throw std::bad_alloc();
        if (code == BZ_DATA_ERROR_MAGIC)
            return fail("not bzip2 data (the file does not start as a bzip2 file does)");
        if (code != BZ_OK && code != BZ_STREAM_END)
            return fail("corrupt bzip2 data (libbz2 error " + std::to_string(code) + ")");
        if (produced > 0 && !sink(m_state->output, produced))
            return fail("the reader stopped");
        if (code == BZ_STREAM_END) {
            m_inStream = false;
            m_mode = Mode::Undecided;
            return true;
        }
        if (bzip.avail_in == 0 && produced < kOutputPiece)
            return true;
    }
}

bool Decoder::finish(const Sink& sink)
{
    if (m_mode == Mode::Failed)
        return false;
    if (m_mode == Mode::Undecided && !m_state) {
        // Fewer than two bytes in all.
        if (m_compression == Compression::Bzip2)
            return fail("not bzip2 data (the file is empty or too short)");
        m_mode = Mode::Plain;
        return m_head.empty() || sink(m_head.data(), m_head.size()) || fail("the reader stopped");
    }
    if (m_inStream)
        return fail(m_compression == Compression::Gzip ? "the gzip data ends before the end of its stream (truncated file?)"
                                                       : "the bzip2 data ends before the end of its stream (truncated file?)");
    return true;
}
