#include "batch/Progress.h"

#include <cstdio>
#include <iostream>

#include <sys/ioctl.h>
#include <unistd.h>

#include "fs/Files.h"

namespace {

std::string clock(double seconds)
{
    const long long whole = seconds > 0 ? static_cast<long long>(seconds + 0.5) : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    return text;
}

// A line longer than the terminal wraps, and a wrapped line cannot be erased in place.
std::string fitted(const std::string& text)
{
    struct winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col < 2)
        return text;
    const std::size_t width = size.ws_col - 1u;
    std::size_t columns = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // UTF-8 continuation bytes take no column.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (++columns > width)
            return text.substr(0, i);
    }
    return text;
}

void writeError(const std::string& text)
{
    // The report before it must be on the console first.
    std::cout.flush();
    std::fflush(stdout);
    static_cast<void>(writeAll(STDERR_FILENO, text));
}

}  // namespace

std::string progressText(const ProgressCounts& counts, double elapsedSeconds)
{
    const std::size_t percent = counts.total ? counts.done * 100 / counts.total : 100;
    std::string text = std::to_string(counts.done) + "/" + std::to_string(counts.total) + " modelos ("
        + std::to_string(percent) + "%), " + clock(elapsedSeconds) + " decorrido";
    if (counts.done > 0 && counts.done < counts.total) {
        const double remaining = elapsedSeconds / static_cast<double>(counts.done)
            * static_cast<double>(counts.total - counts.done);
        text += ", faltam ~" + clock(remaining);
    }
    return text + "; " + std::to_string(counts.optimal) + " ótimos, " + std::to_string(counts.failures) + " falhas";
}

bool progressWanted(const RunSettings& settings)
{
    return isatty(STDERR_FILENO) && (!settings.log || settings.jobs > 1);
}

ProgressLine::ProgressLine(bool wanted, std::size_t total) : m_wanted(wanted)
{
    m_counts.total = total;
}

ProgressLine::~ProgressLine()
{
    erase();
}

void ProgressLine::modelEnded(bool optimal, bool failed)
{
    ++m_counts.done;
    m_counts.optimal += optimal;
    m_counts.failures += failed;
}

void ProgressLine::erase()
{
    if (!m_shown)
        return;
    m_shown = false;
    writeError("\r\033[K");
}

void ProgressLine::draw()
{
    if (!m_wanted)
        return;
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    writeError("\r" + fitted(progressText(m_counts, elapsed)) + "\033[K");
    m_shown = true;
}
