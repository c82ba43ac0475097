// Where the program finds the Gurobi library, and where it must not.

#include <filesystem>
#include <string>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "GurobiTestSupport.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kAsked = "Digite o solver que deseja usar (GUROBI/SCIP)> ";
constexpr const char* kNotFound = "Bilioteca 'libgurobi120.so' não encontrada\n";

// A Gurobi installed on this machine would be found through the system's search.
bool gurobiInstalled()
{
    void* library = dlopen("libgurobi120.so", RTLD_LAZY | RTLD_LOCAL);
    if (library)
        dlclose(library);
    return library != nullptr;
}

bool gurobiRefused(const ProcessResult& result)
{
    return result.out.find(std::string(kAsked) + kNotFound + "Lumbrix> ") != std::string::npos;
}

bool gurobiAccepted(const ProcessResult& result)
{
    return result.out.find(std::string(kAsked) + "Lumbrix> ") != std::string::npos;
}

}  // namespace

TEST(GurobiLoading, WithoutTheLibraryGurobiCannotBeChosenAndScipStays)
{
    if (gurobiInstalled())
        GTEST_SKIP() << "a Gurobi library is installed";
    TempDir dir;
    dir.write("models/a.lp", kOptimalLp);
    const std::string out = dir.folder("out");
    ProcessOptions options;
    options.workingDirectory = dir.path();
    options.unsetEnvironment = {"LD_LIBRARY_PATH"};
    const ProcessResult result = runLumbrix("solver\nGUROBI\n" + optCommands(dir.file("models"), out) + "exit\n",
                                            options);
    EXPECT_TRUE(gurobiRefused(result)) << result.out;
    EXPECT_EQ(readFile(out + "/sol_stat.csv").find("\r\nSCIP;a.lp;"), std::string("SOLVER;NOME;TEMPO;STATUS;Z;TEMPO LEITUR").size())
        << readFile(out + "/sol_stat.csv");
}

TEST(GurobiLoading, ALibraryLackingAFunctionIsNotAccepted)
{
    TempDir dir;
    ProcessOptions options;
    options.environment = {{"LD_LIBRARY_PATH", incompleteDoubleFolder()}};
    const ProcessResult result = runLumbrix("solver\nGUROBI\nexit\n", options);
    EXPECT_TRUE(gurobiRefused(result)) << result.out;
    EXPECT_EQ(result.exitCode, 0);
}

TEST(GurobiLoading, LibraryInTheWorkingDirectoryIsNeverLoaded)
{
    if (gurobiInstalled())
        GTEST_SKIP() << "a Gurobi library is installed";
    TempDir dir;
    fs::copy_file(doubleFolder() + "/libgurobi120.so", dir.file("libgurobi120.so"));
    dir.folder("lib");
    fs::copy_file(doubleFolder() + "/libgurobi120.so", dir.file("lib/libgurobi120.so"));
    // Empty and relative entries of the search path are read against the working directory.
    for (const char* searchPath : {"", ":", ".", "./", "lib", "/nonexistent:", ":/nonexistent"}) {
        SCOPED_TRACE(std::string("LD_LIBRARY_PATH=") + searchPath);
        ProcessOptions options;
        options.workingDirectory = dir.path();
        options.environment = {{"LD_LIBRARY_PATH", searchPath}, {"GRB_DOUBLE_LOG", dir.file("calls.log")}};
        const ProcessResult result = runLumbrix("solver\nGUROBI\nexit\n", options);
        EXPECT_TRUE(gurobiRefused(result)) << result.out;
        EXPECT_FALSE(fileExists(dir.file("calls.log"))) << readFile(dir.file("calls.log"));
    }
    ProcessOptions unset;
    unset.workingDirectory = dir.path();
    unset.unsetEnvironment = {"LD_LIBRARY_PATH"};
    unset.environment = {{"GRB_DOUBLE_LOG", dir.file("calls.log")}};
    EXPECT_TRUE(gurobiRefused(runLumbrix("solver\nGUROBI\nexit\n", unset)));
    EXPECT_FALSE(fileExists(dir.file("calls.log")));
}

TEST(GurobiLoading, AbsoluteSearchFoldersStillServeBesideUnsafeEntries)
{
    if (gurobiInstalled())
        GTEST_SKIP() << "a Gurobi library is installed";
    TempDir dir;
    fs::copy_file(doubleFolder() + "/libgurobi120.so", dir.file("libgurobi120.so"));
    for (const std::string& searchPath : {doubleFolder() + ":", ":" + doubleFolder(), ".:" + doubleFolder()}) {
        SCOPED_TRACE("LD_LIBRARY_PATH=" + searchPath);
        fs::remove(dir.file("calls.log"));
        ProcessOptions options;
        options.workingDirectory = dir.path();
        options.environment = {{"LD_LIBRARY_PATH", searchPath}, {"GRB_DOUBLE_LOG", dir.file("calls.log")}};
        const ProcessResult result = runLumbrix("solver\nGUROBI\nexit\n", options);
        EXPECT_TRUE(gurobiAccepted(result)) << result.out;
        const std::string calls = readFile(dir.file("calls.log"));
        EXPECT_NE(calls.find("load " + doubleFolder() + "/libgurobi120.so\n"), std::string::npos) << calls;
        EXPECT_EQ(calls.find("load " + dir.path()), std::string::npos) << calls;
    }
}

TEST(GurobiLoading, LibraryBesideTheProgramComesFirst)
{
    TempDir dir;
    const std::string bin = dir.folder("bin");
    fs::copy_file(lumbrixBinary(), bin + "/lumbrix");
    fs::permissions(bin + "/lumbrix", fs::perms::owner_all);
    fs::copy_file(doubleFolder() + "/libgurobi120.so", bin + "/libgurobi120.so");
    dir.write("models/a.lp", kOptimalLp);
    const std::string out = dir.folder("out");

    // The system's search would find only a library that lacks a function.
    ProcessOptions options;
    options.workingDirectory = dir.path();
    options.environment = {{"LD_LIBRARY_PATH", incompleteDoubleFolder()}, {"GRB_DOUBLE_LOG", dir.file("calls.log")}};
    options.input = "solver\nGUROBI\nverbose\nn\n" + optCommands(dir.file("models"), out) + "exit\n";
    const ProcessResult result = runProcess({bin + "/lumbrix"}, options);
    EXPECT_TRUE(gurobiAccepted(result)) << result.out;
    EXPECT_NE(result.out.find("Optimal objective: 42\n"), std::string::npos) << result.out;
    EXPECT_NE(readFile(out + "/sol_stat.csv").find("\r\nGUROBI;a.lp;"), std::string::npos);
    EXPECT_NE(readFile(dir.file("calls.log")).find("load " + bin + "/libgurobi120.so\n"), std::string::npos)
        << readFile(dir.file("calls.log"));
}
