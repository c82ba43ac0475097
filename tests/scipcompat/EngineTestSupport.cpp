#include "EngineTestSupport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <scip/scipdefplugins.h>

namespace {

int redirect(int fd, const std::string& path)
{
    const int saved = dup(fd);
    const int target = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (saved < 0 || target < 0 || dup2(target, fd) < 0 || close(target) != 0)
        throw std::runtime_error("cannot redirect file descriptor " + std::to_string(fd));
    return saved;
}

void restore(int fd, int saved)
{
    if (dup2(saved, fd) < 0 || close(saved) != 0)
        throw std::runtime_error("cannot restore file descriptor " + std::to_string(fd));
}

}  // namespace

OutputCapture::OutputCapture()
{
    std::fflush(stdout);
    std::fflush(stderr);
    m_savedOut = redirect(STDOUT_FILENO, m_dir.file("out"));
    m_savedErr = redirect(STDERR_FILENO, m_dir.file("err"));
}

OutputCapture::~OutputCapture()
{
    finish();
}

void OutputCapture::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    std::fflush(stdout);
    std::fflush(stderr);
    restore(STDOUT_FILENO, m_savedOut);
    restore(STDERR_FILENO, m_savedErr);
    m_out = readFile(m_dir.file("out"));
    m_err = readFile(m_dir.file("err"));
}

const std::string& OutputCapture::out()
{
    finish();
    return m_out;
}

const std::string& OutputCapture::err()
{
    finish();
    return m_err;
}

HangGuard::HangGuard(int seconds)
    : m_thread([this, seconds] {
          std::unique_lock<std::mutex> lock(m_mutex);
          if (!m_done.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_finished; })) {
              std::fprintf(stderr, "a solve did not stop within %d s\n", seconds);
              std::_Exit(3);
          }
      })
{
}

HangGuard::~HangGuard()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_done.notify_one();
    m_thread.join();
}

ScipInstance::ScipInstance()
{
    if (SCIPcreate(&m_scip) != SCIP_OKAY || SCIPincludeDefaultPlugins(m_scip) != SCIP_OKAY
        || SCIPcreateProbBasic(m_scip, "lp_example") != SCIP_OKAY)
        throw std::runtime_error("cannot set up a SCIP instance");
}

ScipInstance::~ScipInstance()
{
    if (m_scip != nullptr)
        SCIPfree(&m_scip);
}

std::string afterErrorHeader(const std::string& text, const std::string& sourceFile)
{
    const std::string opening = "[" + sourceFile + ":";
    const std::string closing = "] ERROR: ";
    std::size_t position = opening.size();
    if (text.compare(0, opening.size(), opening) != 0)
        return "(no error header)";
    while (position < text.size() && text[position] >= '0' && text[position] <= '9')
        ++position;
    if (position == opening.size() || text.compare(position, closing.size(), closing) != 0)
        return "(no error header)";
    return text.substr(position + closing.size());
}

SCIP_STATUS readAndSolve(SCIP* scip, const std::string& path)
{
    EXPECT_EQ(SCIPsetMessagehdlr(scip, nullptr), SCIP_OKAY);
    EXPECT_EQ(SCIPreadProb(scip, path.c_str(), nullptr), SCIP_OKAY) << path;
    EXPECT_EQ(SCIPsolve(scip), SCIP_OKAY) << path;
    return SCIPgetStatus(scip);
}

std::string hardLpModel()
{
    constexpr int kColumns = 8000;
    constexpr int kRows = 4000;
    constexpr int kRowsPerColumn = 6;
    std::mt19937 random(1);
    std::uniform_int_distribution<int> coefficient(1, 100);
    std::uniform_int_distribution<int> row(0, kRows - 1);
    std::uniform_int_distribution<int> capacity(1000, 5000);
    std::vector<std::string> rows(kRows);
    std::string text = "Maximize\n obj:";
    for (int j = 0; j < kColumns; ++j) {
        text += " + " + std::to_string(coefficient(random)) + " x" + std::to_string(j);
        for (int k = 0; k < kRowsPerColumn; ++k) {
            std::string& terms = rows[static_cast<std::size_t>(row(random))];
            // a repeated variable in one row is not CPLEX LP; skip it
            const std::string term = " x" + std::to_string(j) + " ";
            if (terms.find(term) == std::string::npos)
                terms += " + " + std::to_string(coefficient(random)) + term;
        }
    }
    text += "\nSubject To\n";
    for (int i = 0; i < kRows; ++i) {
        if (!rows[static_cast<std::size_t>(i)].empty())
            text += " c" + std::to_string(i) + ":" + rows[static_cast<std::size_t>(i)] + " <= "
                + std::to_string(capacity(random)) + "\n";
    }
    return text + "End\n";
}

