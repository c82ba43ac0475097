// Every LP file that mod_lp writes for GLPK's example models is read by the engine; those
// without constraints (cal, graph, sorting) solve to zero, as with SCIP.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "convert/ConvertModFile.h"

namespace fs = std::filesystem;

namespace {

const std::string kExamples = "/usr/share/doc/glpk-utils/examples";

TEST(ExampleRoundTrip, TheEngineReadsEveryLpFileModLpWrites)
{
    if (!fs::exists(kExamples + "/diet.mod"))
        GTEST_SKIP() << "glpk-utils (its example models) is not installed";
    TempDir dir;
    std::vector<std::string> models;
    for (const fs::directory_entry& entry : fs::directory_iterator(kExamples)) {
        const std::string extension = entry.path().extension();
        if (extension == ".mod" || extension == ".dat")
            fs::copy_file(entry.path(), dir.file(entry.path().filename()));
        if (extension == ".mod")
            models.push_back(entry.path().stem());
    }
    std::sort(models.begin(), models.end());
    const fs::path previous = fs::current_path();
    fs::current_path(dir.path());  // some models write files of their own
    {
        OutputCapture quiet;
        for (const std::string& model : models)
            convertModFile(dir.file(model + ".mod"));
    }
    fs::current_path(previous);

    int written = 0;
    for (const std::string& model : models) {
        const std::string path = dir.file(model + ".lp");
        if (!fs::exists(path))
            continue;
        ++written;
        ScipInstance scip;
        OutputCapture capture;
        EXPECT_EQ(SCIPreadProb(scip.get(), path.c_str(), nullptr), SCIP_OKAY) << model << ": " << capture.err();
    }
    EXPECT_EQ(written, static_cast<int>(models.size()));

    for (const char* model : {"cal", "graph", "sorting"}) {
        ScipInstance scip;
        const SCIP_STATUS status = readAndSolve(scip.get(), dir.file(std::string(model) + ".lp"));
        EXPECT_EQ(status, SCIP_STATUS_OPTIMAL) << model;
        EXPECT_EQ(SCIPgetPrimalbound(scip.get()), 0.0) << model;
    }
}

}  // namespace
