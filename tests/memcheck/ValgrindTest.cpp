// A batch run and a conversion under valgrind: no memory errors and no leaks.
#include <gtest/gtest.h>

#include <unistd.h>

#include "Process.h"
#include "TempDir.h"

namespace {

TEST(Memcheck, BatchRunAndConversionAreCleanUnderValgrind)
{
#ifdef LUMBRIX_SANITIZED
    GTEST_SKIP() << "valgrind cannot run a sanitizer build";
#endif
    if (access("/usr/bin/valgrind", X_OK) != 0)
        GTEST_SKIP() << "valgrind is not installed";
    TempDir dir;
    const std::string output = dir.folder("saida");
    const std::string mods = dir.folder("mods");
    dir.write("mods/dieta.mod", "var x >= 0;\nvar y >= 0;\nminimize custo: 2 * x + 3 * y;\n"
                                "s.t. proteina: x + 2 * y >= 8;\ns.t. energia: 3 * x + y >= 9;\nend;\n");
    dir.write("mods/quebrado.mod", "var x >= 0\nminimize z: x;\nend;\n");
    const std::string log = dir.file("valgrind.log");
    ProcessOptions options;
    options.input = "verbose\nn\nopt\n" + examplesFolder() + "\n" + output + "\nverbose\ns\nopt\n" + examplesFolder()
        + "\n" + output + "\nmod_lp\n" + mods + "\nexit\n";
    options.timeoutSeconds = 600;
    const ProcessResult run = runProcess({"/usr/bin/valgrind", "--log-file=" + log, "--error-exitcode=99",
                                          "--leak-check=full", "--errors-for-leak-kinds=definite,indirect,possible",
                                          lumbrixBinary()},
                                         options);
    const std::string report = readFile(log);
    EXPECT_EQ(run.exitCode, 0) << report;
    EXPECT_NE(report.find("ERROR SUMMARY: 0 errors from 0 contexts"), std::string::npos) << report;
    EXPECT_NE(readFile(output + "/sol_stat.csv").find("SCIP;producao.lp;"), std::string::npos);
    EXPECT_TRUE(fileExists(mods + "/dieta.lp"));
    EXPECT_NE(run.err.find("Erro ao tranformar modelo\n"), std::string::npos) << run.err;
}

}  // namespace
