// Model files as the library reads them: the kind a name says, compressed data of every
// shape (and data that is not what its name says), and what the MPS reader builds.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Compressed.h"
#include "TempDir.h"
#include "engines/model/ModelFile.h"

namespace {

const std::string kLp = "Minimize\n obj: 2 x + 3 y\nSubject To\n c: x + y >= 1.5\nEnd\n";
const std::string kMps = "NAME T\nROWS\n N obj\n G c\nCOLUMNS\n x obj 2 c 1\n y obj 3 c 1\nRHS\n rhs c 1.5\nENDATA\n";

struct Read {
    int result = 0;
    LpModel model;
    LpReadError error;
};

Read readFrom(const std::string& path)
{
    Read read;
    read.result = readModelFile(path.c_str(), read.model, read.error);
    return read;
}

// The model both texts above describe.
void expectSmallModel(const Read& read)
{
    ASSERT_EQ(read.result, 0) << read.error.message;
    ASSERT_EQ(read.model.columns.size(), 2u);
    EXPECT_EQ(read.model.columns[0].name, "x");
    EXPECT_EQ(read.model.columns[1].objective.value(), 3.0);
    ASSERT_EQ(read.model.rows.size(), 1u);
    EXPECT_EQ(read.model.rows[0].lower.value(), 1.5);
    EXPECT_EQ(read.model.rows[0].count, 2);
}

TEST(ModelKind, ComesFromTheNameAsScipSplitsIt)
{
    struct Case {
        const char* name;
        bool known;
        ModelFormat format;
        Compression compression;
    };
    const std::vector<Case> cases = {
        {"a.lp", true, ModelFormat::Lp, Compression::None},
        {"dir/A.MPS", true, ModelFormat::Mps, Compression::None},
        {"air04.mps.gz", true, ModelFormat::Mps, Compression::Gzip},
        {"x.lp.bz2", true, ModelFormat::Lp, Compression::Bzip2},
        {"x.mps.Z", true, ModelFormat::Mps, Compression::Gzip},
        {"x.free.mps", true, ModelFormat::Mps, Compression::None},
        {"x.gz", false, ModelFormat::Lp, Compression::None},
        {"x.mps.xz", false, ModelFormat::Lp, Compression::None},
        {"x.txt", false, ModelFormat::Lp, Compression::None},
        {"models.mps/x", false, ModelFormat::Lp, Compression::None},
        {"xlp", false, ModelFormat::Lp, Compression::None},
    };
    for (const Case& c : cases) {
        const std::optional<ModelKind> kind = modelKindOfName(c.name);
        ASSERT_EQ(kind.has_value(), c.known) << c.name;
        if (kind) {
            EXPECT_EQ(kind->format, c.format) << c.name;
            EXPECT_EQ(kind->compression, c.compression) << c.name;
        }
    }
}

// Every way of storing the same model reads as the same model.
TEST(ModelFile, CompressedAndPlainReadAlike)
{
    TempDir dir;
    const std::vector<std::pair<std::string, std::string>> files = {
        {"a.lp", kLp},
        {"a.mps", kMps},
        {"a.lp.gz", gzipped(kLp)},
        {"a.mps.gz", gzipped(kMps)},
        {"a.lp.bz2", bzipped(kLp)},
        {"a.mps.bz2", bzipped(kMps)},
        // gzip members one after the other, and bzip2 streams likewise, as parallel tools write them
        {"members.mps.gz", gzipped(kMps.substr(0, 20)) + gzipped(kMps.substr(20))},
        {"streams.mps.bz2", bzipped(kMps.substr(0, 33)) + bzipped(kMps.substr(33))},
        // what follows the last gzip member is ignored, as gzread does
        {"trailing.mps.gz", gzipped(kMps) + "garbage"},
        // SCIP reads every file through zlib: gzip data under a plain name, plain text under .gz
        {"hidden.mps", gzipped(kMps)},
        {"plain.lp.gz", kLp},
    };
    for (const auto& [name, contents] : files) {
        SCOPED_TRACE(name);
        expectSmallModel(readFrom(dir.write(name, contents)));
    }
}

// Data that is not what its name says is a read error with the reason and no line, never a
// partial model.
TEST(ModelFile, DataNotWhatTheNameSaysIsRefused)
{
    TempDir dir;
    const std::string gz = gzipped(kMps);
    const std::string bz = bzipped(kMps);
    std::string corrupt = gz;
    corrupt[gz.size() / 2] = static_cast<char>(corrupt[gz.size() / 2] ^ 0x55);
    const std::vector<std::pair<std::pair<std::string, std::string>, std::string>> cases = {
        {{"cut.mps.gz", gz.substr(0, gz.size() - 12)}, "the gzip data ends before the end of its stream (truncated file?)"},
        {{"cut.mps.bz2", bz.substr(0, bz.size() - 12)}, "the bzip2 data ends before the end of its stream (truncated file?)"},
        {{"plain.mps.bz2", kMps}, "not bzip2 data (the file does not start as a bzip2 file does)"},
        {{"empty.lp.bz2", ""}, "not bzip2 data (the file is empty or too short)"},
        {{"bad.mps.gz", std::string("\x1f\x8b", 2) + "this is no deflate stream"}, "corrupt gzip data ("},
        {{"model.txt", kMps}, "the file name names no model format (.lp or .mps, optionally followed by .gz or .bz2)"},
    };
    for (const auto& [file, reason] : cases) {
        SCOPED_TRACE(file.first);
        const Read read = readFrom(dir.write(file.first, file.second));
        EXPECT_EQ(read.result, -1);
        EXPECT_EQ(read.error.line, 0);
        EXPECT_TRUE(read.error.message.starts_with(reason)) << read.error.message;
    }
    const Read flipped = readFrom(dir.write("flipped.mps.gz", corrupt));
    EXPECT_EQ(flipped.result, -1);
    EXPECT_TRUE(flipped.error.message.starts_with("corrupt gzip data (")) << flipped.error.message;
    EXPECT_EQ(readFrom(dir.file("missing.mps.gz")).result, ENOENT);
}

// What the MPS reader builds, number for number: names patched in fixed layout, exact values
// of sides made by ranges, the objective's constant, the types markers and bounds give.
TEST(MpsReader, BuildsScipsModel)
{
    const std::string folder = std::string(LUMBRIX_SOURCE_DIR) + "/tests/model/mps/";
    {
        const Read read = readFrom(folder + "fixed_layout.mps");
        ASSERT_EQ(read.result, 0) << read.error.message;
        EXPECT_EQ(read.model.columns[0].name, "X_Y");
        EXPECT_EQ(read.model.rows[0].name, "LIM_1");
        EXPECT_EQ(read.model.columns[1].objective.value(), 2.0);  // the '$' comment is dropped
        EXPECT_EQ(read.model.rows[0].count, 2);
    }
    {
        const Read read = readFrom(folder + "ranges.mps");
        ASSERT_EQ(read.result, 0) << read.error.message;
        const std::vector<std::pair<double, double>> sides = {{2, 5}, {6, 8}, {1, 5}, {5, 7}};
        ASSERT_EQ(read.model.rows.size(), sides.size());
        for (std::size_t k = 0; k < sides.size(); ++k) {
            EXPECT_EQ(read.model.rows[k].lower.value(), sides[k].first) << k;
            EXPECT_EQ(read.model.rows[k].upper.value(), sides[k].second) << k;
            EXPECT_EQ(read.model.rows[k].upper.kind(), Number::Kind::Decimal) << k;
        }
        EXPECT_TRUE(read.model.maximize);
    }
    {
        const Read read = readFrom(folder + "rhs_objective.mps");
        ASSERT_EQ(read.result, 0) << read.error.message;
        EXPECT_EQ(read.model.objectiveOffset.kind(), Number::Kind::Decimal);
        EXPECT_EQ(read.model.objectiveOffset.digits(), 75);
        EXPECT_EQ(read.model.objectiveOffset.exponent(), -1);
        EXPECT_EQ(read.model.rows[0].lower.value(), 3.0);  // the second RHS vector is ignored
    }
    {
        const Read read = readFrom(folder + "markers.mps");
        ASSERT_EQ(read.result, 0) << read.error.message;
        const std::vector<std::tuple<const char*, VarType, double, double>> columns = {
            {"B", VarType::Binary, 0, 1},    {"C", VarType::Binary, 0, 1},         {"N", VarType::Integer, 0, 100},
            {"M", VarType::Integer, 1, 1e20}, {"X", VarType::Continuous, 0, 1e20},
        };
        ASSERT_EQ(read.model.columns.size(), columns.size());
        for (std::size_t k = 0; k < columns.size(); ++k) {
            const LpColumn& column = read.model.columns[k];
            EXPECT_EQ(column.name, std::get<0>(columns[k]));
            EXPECT_EQ(column.type, std::get<1>(columns[k])) << column.name;
            EXPECT_EQ(column.lower.value(), std::get<2>(columns[k])) << column.name;
            EXPECT_EQ(column.upper.value(), std::get<3>(columns[k])) << column.name;
        }
    }
    {
        const Read read = readFrom(folder + "semicontinuous.mps");
        ASSERT_EQ(read.result, 0) << read.error.message;
        ASSERT_EQ(read.model.semicontinuous.size(), 2u);
        EXPECT_EQ(read.model.semicontinuous[0].threshold.value(), 2.0);  // its lower bound
        EXPECT_EQ(read.model.semicontinuous[1].threshold.value(), 1.0);  // none: SCIP takes 1
        EXPECT_EQ(read.model.columns[0].lower.value(), 0.0);
        EXPECT_EQ(read.model.columns[0].upper.value(), 6.0);
    }
    {
        const Read read = readFrom(folder + "indicators.mps");
        ASSERT_EQ(read.result, 0) << read.error.message;
        ASSERT_EQ(read.model.rows.size(), 1u);  // only COVER stays a row
        EXPECT_EQ(read.model.rows[0].name, "COVER");
        ASSERT_EQ(read.model.indicators.size(), 4u);
        // R1: x >= 5 as -x <= -5; R3 (= 4, active on 0) as -z <= -4 and z <= 4
        EXPECT_EQ(read.model.indicators[0].rhs.value(), -5.0);
        EXPECT_FALSE(read.model.indicators[2].activeOnOne);
        EXPECT_EQ(read.model.indicators[2].rhs.value(), -4.0);
        EXPECT_EQ(read.model.indicators[3].rhs.value(), 4.0);
    }
}

// SCIP reads a line into 1024 bytes: a longer one goes on as the next line, so a name past
// that point is cut there and what follows is read as a line of its own.
TEST(MpsReader, LongLinesAreCutAsScipCutsThem)
{
    TempDir dir;
    const std::string longName(1100, 'c');
    const std::string text = "NAME L\nROWS\n N obj\n G " + longName + "\nCOLUMNS\n x obj 1\nRHS\nENDATA\n";
    const Read read = readFrom(dir.write("long.mps", text));
    EXPECT_EQ(read.result, -1);
    EXPECT_EQ(read.error.line, 5);
    // " G " and 1020 characters of the name fill the 1023; the last 80 start a line.
    EXPECT_EQ(read.error.message, "Syntax error: unexpected section <" + std::string(80, 'c') + "> after ROWS");
}

// Every prefix of every MPS feature file, and of a gzipped one, is read or refused with a
// reason, never more: a file cut anywhere ends before ENDATA, and a cut gzip stream is
// refused whole.
TEST(MpsReader, EveryPrefixIsReadOrRefused)
{
    TempDir dir;
    const std::string folder = std::string(LUMBRIX_SOURCE_DIR) + "/tests/model/mps/";
    for (const char* file : {"fixed_layout.mps", "markers.mps", "bounds.mps", "sos.mps", "indicators.mps",
                             "ranges.mps", "objsense_next_line.mps", "crlf.mps"}) {
        const std::string text = readFile(folder + file);
        const std::size_t end = text.rfind("ENDATA");
        for (std::size_t length = 0; length < text.size(); ++length) {
            LpModel model;
            LpReadError error;
            model.text = text.substr(0, length);
            const int result = parseMpsText(model.text, model, error) ? 0 : -1;
            if (length > end + 5) {
                EXPECT_EQ(result, 0) << file << " cut at " << length << ": " << error.message;
                continue;
            }
            EXPECT_EQ(result, -1) << file << " cut at " << length;
            EXPECT_FALSE(error.message.empty()) << file << " cut at " << length;
        }
    }
    const std::string gz = gzipped(kMps);
    for (std::size_t length = 1; length < gz.size(); ++length) {
        LpModel model;
        LpReadError error;
        const std::string path = dir.write("cut.mps.gz", gz.substr(0, length));
        EXPECT_EQ(readModelFile(path.c_str(), model, error), -1) << "cut at " << length;
    }
}

}  // namespace
