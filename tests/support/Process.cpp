#include "Process.h"

#include <cstdlib>
#include <stdexcept>

#include <sys/stat.h>
#include <unistd.h>

#include "RunningProcess.h"

ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options)
{
    RunningProcess process(argv, options);
    process.closeInput();
    return process.finish(options.timeoutSeconds);
}

std::string lumbrixBinary()
{
    return LUMBRIX_BINARY;
}

ProcessResult runLumbrix(const std::string& input, ProcessOptions options)
{
    options.input = input;
    return runProcess({lumbrixBinary()}, options);
}

namespace {

char g_publicFolder[] = "/tmp/lumbrix-bin-XXXXXX";

void removePublicCopy()
{
    runProcess({"/bin/rm", "-rf", g_publicFolder});
}

}  // namespace

std::string publicLumbrixBinary()
{
    static const std::string copy = [] {
        if (!mkdtemp(g_publicFolder) || chmod(g_publicFolder, 0755) != 0)
            throw std::runtime_error("cannot make a folder for the program copy");
        std::atexit(removePublicCopy);
        const std::string target = std::string(g_publicFolder) + "/lumbrix";
        const ProcessResult copied = runProcess({"/bin/cp", lumbrixBinary(), target});
        if (copied.exitCode != 0 || chmod(target.c_str(), 0755) != 0)
            throw std::runtime_error("cannot copy the program");
        return target;
    }();
    return copy;
}

std::string examplesFolder()
{
    return LUMBRIX_SOURCE_DIR "/examples";
}
