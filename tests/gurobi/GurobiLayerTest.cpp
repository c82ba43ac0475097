// The object layer in this process, over the test double. The double is loaded first by
// its full path; the layer's own search by name then finds that library.

#include <cstdlib>
#include <string>
#include <utility>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "GurobiTestSupport.h"
#include "backends/gurobi/GRBException.h"
#include "backends/gurobi/GurobiEnvironment.h"
#include "backends/gurobi/GurobiModel.h"

namespace {

class GurobiLayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        static void* const library = dlopen((doubleFolder() + "/libgurobi120.so").c_str(), RTLD_NOW);
        ASSERT_NE(library, nullptr) << dlerror();
        m_library = library;
        setenv("GRB_DOUBLE_LOG", m_dir.file("calls.log").c_str(), 1);
        unsetenv("GRB_DOUBLE_FAIL");
    }

    void TearDown() override
    {
        unsetenv("GRB_DOUBLE_LOG");
        unsetenv("GRB_DOUBLE_FAIL");
    }

    // Environments and models the double holds alive.
    std::pair<int, int> live() const
    {
        using Count = void(int*, int*);
        auto* count = reinterpret_cast<Count*>(dlsym(m_library, "GRBdoubleLiveObjects"));
        std::pair<int, int> objects{-1, -1};
        if (count)
            count(&objects.first, &objects.second);
        return objects;
    }

    TempDir m_dir;
    void* m_library = nullptr;
};

using Live = std::pair<int, int>;

}  // namespace

TEST(GRBExceptionTest, CarriesMessageAndCodeThroughCopies)
{
    try {
        const GRBException original("Unable to read model", 10012);
        throw original;
    } catch (GRBException caught) {
        const GRBException copy = caught;
        EXPECT_EQ(copy.message(), "Unable to read model");
        EXPECT_EQ(copy.errorCode(), 10012);
    }
}

TEST_F(GurobiLayer, OwningEnvironmentIsFreedAndViewsAreNot)
{
    {
        GurobiEnvironment environment;
        GurobiModel model(environment, m_dir.write("m.lp", kOptimalLp));
        EXPECT_EQ(live(), Live(2, 1));  // the model has an environment of its own
        {
            GurobiEnvironment view = model.environment();
            view.setDoubleParam(DoubleParam::TimeLimit, 30);
        }
        EXPECT_EQ(live(), Live(2, 1));
        // The model's environment outlived the view and still takes parameters.
        model.environment().setIntParam(IntParam::OutputFlag, 0);
        {
            GurobiEnvironment outerView(environment.libraryEnvironment());
        }
        EXPECT_EQ(live(), Live(2, 1));
    }
    EXPECT_EQ(live(), Live(0, 0));
    const std::string log = doubleLog(m_dir);
    EXPECT_NE(log.find("GRBsetdblparam model"), std::string::npos) << log;
    EXPECT_EQ(log.find("MISUSE"), std::string::npos) << log;
    EXPECT_LT(log.find("GRBfreemodel"), log.find("GRBfreeenv")) << log;
}

TEST_F(GurobiLayer, RefusedEnvironmentThrowsAndLeavesNothing)
{
    setenv("GRB_DOUBLE_FAIL", "loadenv", 1);
    try {
        GurobiEnvironment environment;
        FAIL() << "no exception";
    } catch (const GRBException& error) {
        EXPECT_EQ(error.errorCode(), 10009);
        EXPECT_EQ(error.message(), "No Gurobi license found (test double)");
    }
    EXPECT_EQ(live(), Live(0, 0));
}

TEST_F(GurobiLayer, ParametersRefusedByTheLibraryThrow)
{
    GurobiEnvironment environment;
    try {
        environment.setDoubleParam(DoubleParam::TimeLimit, -1);
        FAIL() << "no exception";
    } catch (const GRBException& error) {
        EXPECT_EQ(error.errorCode(), 10008);
        EXPECT_EQ(error.message(), "Unable to set parameter TimeLimit to value -1 (minimum is 0)");
    }
    environment.start();
}

TEST_F(GurobiLayer, FailedModelConstructionLeavesTheEnvironmentUsable)
{
    GurobiEnvironment environment;
    const std::string missing = m_dir.file("missing.lp");
    const std::string malformed = m_dir.write("malformed.lp", kMalformedLp);
    const std::string refusedCounts = m_dir.write("counts.lp", optimalWith("counts=refuse"));
    const struct {
        std::string path;
        int code;
        std::string message;
    } cases[] = {
        {missing, 10012, "Unable to open file '" + missing + "' for input"},
        {malformed, 10012, "Unable to read LP file '" + malformed + "'"},
        // Read, then refused: the model read so far must be freed.
        {refusedCounts, 10005, "Unable to prefetch attribute 'NumVars'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        try {
            GurobiModel model(environment, c.path);
            ADD_FAILURE() << "no exception";
        } catch (const GRBException& error) {
            EXPECT_EQ(error.errorCode(), c.code);
            EXPECT_EQ(error.message(), c.message);
        }
        EXPECT_EQ(live(), Live(1, 0));
    }
    GurobiModel model(environment, m_dir.write("good.lp", kOptimalLp));
    model.optimize();
    EXPECT_EQ(model.intAttribute(IntAttr::Status), 2);
    EXPECT_EQ(model.doubleAttribute(DoubleAttr::ObjVal), 42);
}

TEST_F(GurobiLayer, AttributesWithoutValueThrowWhileStatusIsGiven)
{
    GurobiEnvironment environment;
    GurobiModel model(environment, m_dir.write("infeasible.lp", kInfeasibleLp));
    model.optimize();
    EXPECT_EQ(model.intAttribute(IntAttr::Status), 3);
    try {
        model.doubleAttribute(DoubleAttr::ObjVal);
        FAIL() << "no exception";
    } catch (const GRBException& error) {
        EXPECT_EQ(error.errorCode(), 10005);
        EXPECT_EQ(error.message(), "Unable to retrieve attribute 'ObjVal'");
    }
    EXPECT_GE(model.doubleAttribute(DoubleAttr::Runtime), 0);
}
