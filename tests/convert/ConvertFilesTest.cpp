// Where the LP file is written and what is read beside the model.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "ConvertSession.h"
#include "TempDir.h"

namespace {

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

struct stat statOf(const std::string& path)
{
    struct stat info = {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info;
}

// Some 95 kB of LP file.
const std::string kMediumModel = "param n := 2000;\nvar x{1..n} >= 0;\nminimize z: sum{i in 1..n} i * x[i];\n"
                                 "s.t. c{i in 1..n}: x[i] + x[(i mod n) + 1] >= 1;\nend;\n";

// A write that fails part-way (here at the file size limit) leaves the old LP file whole,
// and GLPK's lines name the LP file, not the temporary one.
TEST(ConvertLpFile, FailedWriteLeavesTheOldFile)
{
    TempDir dir;
    dir.write("m.mod", kMediumModel);
    const std::string lp = dir.write("m.lp", "old\n");
    const std::vector<std::string> before = folderNames(dir.path());
    const ProcessResult result = runModLpMerged(dir.path(), "trap '' XFSZ; ulimit -f 8;");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(readFile(lp), "old\n");
    EXPECT_EQ(folderNames(dir.path()), before);
    const std::string entry = entrySection(result.out, 1);
    // The last entry: the run's two closing line breaks follow.
    EXPECT_TRUE(entry.ends_with("Writing problem data to '" + lp + "'...\nWrite error on '" + lp
                                + "' - File too large\nErro ao escrever arquivo .lp\n\n\n"))
        << entry;
}

// The new file takes the old one's owner (when run as root) and mode; a first LP file gets
// the mode any new file gets.
TEST(ConvertLpFile, ReplacedFileKeepsOwnerAndMode)
{
    TempDir dir;
    dir.write("new.mod", tinyModel("3"));
    dir.write("old.mod", tinyModel("3"));
    const std::string old = dir.write("old.lp", "old\n");
    ASSERT_EQ(chmod(old.c_str(), 0604), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(old.c_str(), 65534, 65534), 0);
    }
    const mode_t mask = umask(0);
    umask(mask);

    const ProcessResult result = runModLp(dir.path());
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(contains(readFile(old), tinyObjective(3)));
    const struct stat replaced = statOf(old);
    EXPECT_EQ(replaced.st_mode & 07777, 0604u);
    if (root) {
        EXPECT_EQ(replaced.st_uid, 65534u);
        EXPECT_EQ(replaced.st_gid, 65534u);
    }
    EXPECT_EQ(statOf(dir.file("new.lp")).st_mode & 07777, 0666u & ~mask);
}

// As an unprivileged user: an LP file that may be written, in a folder that may not, is
// still rewritten (in place); one that may not be written is refused as GLPK refuses it.
TEST(ConvertLpFile, FolderOrFileClosedToWritingAsBefore)
{
    TempDir dir;
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    dir.write("closed/m.mod", tinyModel("3"));
    const std::string inPlace = dir.write("closed/m.lp", "old\n");
    ASSERT_EQ(chmod(inPlace.c_str(), 0666), 0);
    ASSERT_EQ(chmod(dir.file("closed").c_str(), 0555), 0);
    dir.write("open/r.mod", tinyModel("3"));
    const std::string readOnly = dir.write("open/r.lp", "old\n");
    ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
    ASSERT_EQ(chmod(dir.file("open").c_str(), 0777), 0);

    ProcessOptions options;
    options.input = "mod_lp\n" + dir.file("closed") + "\nmod_lp\n" + dir.file("open") + "\nexit\n";
    options.unprivileged = true;
    const ProcessResult result = runProcess({publicLumbrixBinary()}, options);
    EXPECT_TRUE(contains(readFile(inPlace), tinyObjective(3)));
    EXPECT_EQ(folderNames(dir.file("closed")), (std::vector<std::string>{"m.lp", "m.mod"}));
    EXPECT_EQ(readFile(readOnly), "old\n");
    EXPECT_EQ(folderNames(dir.file("open")), (std::vector<std::string>{"r.lp", "r.mod"}));
    EXPECT_TRUE(contains(result.out, "Writing problem data to '" + readOnly + "'...\nUnable to create '" + readOnly
                                         + "' - Permission denied\n"))
        << result.out;
    EXPECT_EQ(result.err, "Erro ao escrever arquivo .lp\n");
}

// A model reading a table by a bare file name finds it beside the model, wherever the
// program was started; GLPK's lines show the paths as listed.
TEST(ConvertTables, TableBesideTheModelIsFoundFromAnyFolder)
{
    TempDir dir;
    ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
    const std::string mods = dir.folder("mods");
    ASSERT_EQ(chmod(mods.c_str(), 0777), 0);
    const std::string elsewhere = dir.folder("elsewhere");
    dir.write("mods/rotas.mod", "set I;\nparam custo{I};\ntable t IN \"CSV\" \"custos.csv\": I <- [item], custo;\n"
                                "var x{I} >= 0, <= 1;\nmaximize z: sum{i in I} custo[i] * x[i];\nend;\n");
    dir.write("mods/custos.csv", "item,custo\na,3\nb,5\n");
    dir.write("mods/z.mod", tinyModel("4"));
    const std::string objective = "Maximize\n z: + 3 x(a) + 5 x(b)\n";
    const auto converted = [&](const ProcessResult& result, const std::string& listed) {
        EXPECT_EQ(result.err, "");
        EXPECT_TRUE(contains(result.out, "Reading model section from " + listed + "/rotas.mod...\n6 lines were read\n"
                                         "Reading t...\nGenerating z...\n"))
            << result.out;
        EXPECT_TRUE(contains(result.out, "Writing problem data to '" + listed + "/z.lp'...\n")) << result.out;
        EXPECT_TRUE(contains(readFile(mods + "/rotas.lp"), objective));
        EXPECT_TRUE(contains(readFile(mods + "/z.lp"), tinyObjective(4)));
        EXPECT_EQ(folderNames(mods), (std::vector<std::string>{"custos.csv", "rotas.lp", "rotas.mod", "z.lp", "z.mod"}));
        std::remove((mods + "/rotas.lp").c_str());
        std::remove((mods + "/z.lp").c_str());
    };

    ProcessOptions options;
    options.input = "mod_lp\n" + mods + "\nexit\n";
    options.workingDirectory = elsewhere;
    converted(runLumbrix(options.input, options), mods);

    options.input = "mod_lp\nmods\nexit\n";
    options.workingDirectory = dir.path();
    converted(runLumbrix(options.input, options), "mods");

    // When no process can be made the model is converted in the program itself, and the
    // working folder is put back for the next model's relative path.
    options.unprivileged = true;
#if defined(__SANITIZE_ADDRESS__)
    // The leak check at exit needs a thread of its own, which the process limit refuses.
    options.environment.emplace_back("ASAN_OPTIONS", "detect_leaks=0");
#endif
    converted(runProcess({"/bin/bash", "-c", "ulimit -u 1 && exec \"$0\"", publicLumbrixBinary()}, options), "mods");
}

}  // namespace
