// What a run takes for a model (the shell's rule and the command line's), the name a model
// has in known-results files, and a model handed decompressed to a solver that cannot read
// its compression.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Compressed.h"
#include "TempDir.h"
#include "backends/HandedModel.h"
#include "backends/ModelFiles.h"
#include "engines/model/ModelFile.h"

namespace {

TEST(ModelFiles, EachRuleTakesItsNames)
{
    struct Case {
        const char* name;
        bool shell;
        bool commandLine;
    };
    const std::vector<Case> cases = {
        {"a.lp", true, true},           {"a.mps", false, true},         {"air04.mps.gz", false, true},
        {"a.lp.gz", false, true},       {"a.lp.bz2", false, true},      {"a.mps.bz2", false, true},
        {"a.free.mps", false, true},    {"modelo.xlp", true, false},    {"help", true, false},
        {"a.LP", false, false},         {"a.mps.xz", false, false},     {"a.mps.zst", false, false},
        {"a.gz", false, false},         {"a.txt", false, false},        {"a.mps.gz.bak", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isModelFile(c.name, ModelFileRule::Shell), c.shell) << c.name;
        EXPECT_EQ(isModelFile(c.name, ModelFileRule::CommandLine), c.commandLine) << c.name;
    }
}

TEST(ModelFiles, StemDropsCompressionThenExtension)
{
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"air04.mps.gz", "air04"}, {"a.lp", "a"},         {"b.lp.bz2", "b"},        {"x.free.mps", "x.free"},
        {"modelo.xlp", "modelo"},  {"semponto", "semponto"}, {"v1.2.mps", "v1.2"},
    };
    for (const auto& [name, stem] : cases)
        EXPECT_EQ(modelStem(name), stem) << name;
}

const std::string kMps = "NAME T\nROWS\n N obj\n G c\nCOLUMNS\n x obj 2 c 1\n y obj 3 c 1\nRHS\n rhs c 1.5\nENDATA\n";

// Many copies of one row, so that the text is far beyond a pipe's buffer.
std::string largeMps()
{
    std::string text = "NAME BIG\nROWS\n N obj\n";
    for (int i = 0; i < 20000; ++i)
        text += " G r" + std::to_string(i) + "\n";
    text += "COLUMNS\n";
    for (int i = 0; i < 20000; ++i)
        text += " x obj 1 r" + std::to_string(i) + " 1\n";
    return text + "RHS\n rhs r0 1\nENDATA\n";
}

// A solver that reads neither compression gets a pipe with the decompressed text and the
// format to read it as; one that reads it gets the file.
TEST(HandedModel, DecompressesWhatTheSolverCannotRead)
{
    TempDir dir;
    const std::string big = largeMps();
    const std::string path = dir.write("big.mps.bz2", bzipped(big));
    const ModelKinds plainOnly;
    {
        HandedModel handed(path, plainOnly);
        ASSERT_TRUE(handed.path().starts_with("/proc/self/fd/")) << handed.path();
        ASSERT_NE(handed.extension(), nullptr);
        EXPECT_STREQ(handed.extension(), "mps");
        LpModel model;
        LpReadError error;
        EXPECT_EQ(readModelFile(handed.path().c_str(), ModelKind{ModelFormat::Mps, Compression::None}, model, error), 0)
            << error.message;
        EXPECT_EQ(model.text, big);
        EXPECT_EQ(model.rows.size(), 20000u);
        EXPECT_EQ(handed.finish(), std::nullopt);
    }
    ModelKinds everything;
    everything.gzip = everything.bzip2 = true;
    HandedModel direct(path, everything);
    EXPECT_EQ(direct.path(), path);
    EXPECT_EQ(direct.extension(), nullptr);
    HandedModel plain(dir.write("a.mps", kMps), plainOnly);
    EXPECT_EQ(plain.path(), dir.file("a.mps"));
}

// A truncated file reaches the solver as far as it goes, and the hand-over says so, so the
// partial model is not taken; a solver that stops reading, or never starts, leaves no
// writer behind.
TEST(HandedModel, TellsWhenTheModelDidNotArriveWhole)
{
    TempDir dir;
    const std::string gz = gzipped(largeMps());
    const ModelKinds plainOnly;
    {
        HandedModel handed(dir.write("cut.mps.gz", gz.substr(0, gz.size() / 2)), plainOnly);
        LpModel model;
        LpReadError error;
        readModelFile(handed.path().c_str(), ModelKind{ModelFormat::Mps, Compression::None}, model, error);
        EXPECT_EQ(handed.finish(), std::optional<std::string>("the gzip data ends before the end of its stream (truncated file?)"));
    }
    {
        HandedModel handed(dir.write("text.lp.bz2", "Minimize\n obj: x\nEnd\n"), plainOnly);
        EXPECT_EQ(handed.finish(), std::optional<std::string>("not bzip2 data (the file does not start as a bzip2 file does)"));
    }
    {
        HandedModel unread(dir.write("whole.mps.gz", gz), plainOnly);
        EXPECT_EQ(unread.finish(), std::nullopt);
    }
}

}  // namespace
