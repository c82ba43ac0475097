// A stand-in for the Gurobi C library (libgurobi120.so) for the tests: the same functions,
// models read from CPLEX LP and MPS files and solved with GLPK. It writes every call it receives
// to the file named by GRB_DOUBLE_LOG, fails on request (GRB_DOUBLE_FAIL=loadenv,startenv
// and the model files' "\ double:" lines), and logs misuse and leaks as "MISUSE"/"LEAK".

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <strings.h>
#include <type_traits>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DoubleModel.h"
#include "backends/gurobi/GurobiCApi.h"

#define GRB_EXPORT extern "C" __attribute__((visibility("default")))

struct GRBenv {
    std::string name;
    bool modelCopy = false;
    int outputFlag = 1;
    double timeLimit = 1e100;
    double nodeLimit = 1e100;
    int models = 0;  // models read with it and not yet freed
    std::string lastError;
};

struct GRBmodel {
    std::string name;
    GRBenv* reader = nullptr;
    GRBenv* env = nullptr;
    glp_prob* problem = nullptr;
    ModelDirectives directives;
    SolveResult result;
    double runtime = 0;
};

namespace {

std::set<const GRBenv*> g_environments;
std::set<const GRBmodel*> g_models;
int g_environmentCount = 0;
int g_modelCount = 0;

void logLine(const std::string& line)
{
    const char* path = std::getenv("GRB_DOUBLE_LOG");
    if (!path || !*path)
        return;
    if (FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

bool failureRequested(const std::string& what)
{
    const char* value = std::getenv("GRB_DOUBLE_FAIL");
    if (!value)
        return false;
    const std::string list = std::string(",") + value + ",";
    return list.find("," + what + ",") != std::string::npos;
}

void say(const GRBenv* env, const std::string& text)
{
    if (env->outputFlag) {
        std::printf("Gurobi test double: %s\n", text.c_str());
        std::fflush(stdout);
    }
}

std::string number(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

int fail(GRBenv* env, const std::string& call, int code, const std::string& message)
{
    logLine(call + " -> " + std::to_string(code));
    if (env)
        env->lastError = message;
    return code;
}

// A handle the double never gave out, or one already freed.
bool knownEnvironment(const GRBenv* env, const std::string& call)
{
    if (g_environments.count(env))
        return true;
    logLine("MISUSE " + call + ": unknown environment");
    return false;
}

bool knownModel(const GRBmodel* model, const std::string& call)
{
    if (g_models.count(model))
        return true;
    logLine("MISUSE " + call + ": unknown model");
    return false;
}

bool endsWith(const std::string& text, const std::string& suffix)
{
    return text.size() > suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The library chooses the reader by the name, a compression suffix taken off first. The
// double reads LP and MPS files, gzipped too (GLPK reads gzip itself), but not bzip2.
enum class FileType { Unknown, Lp, Mps };

FileType fileTypeOf(std::string path)
{
    if (endsWith(path, ".gz"))
        path.resize(path.size() - 3);
    if (endsWith(path, ".lp"))
        return FileType::Lp;
    if (endsWith(path, ".mps"))
        return FileType::Mps;
    return FileType::Unknown;
}

__attribute__((constructor)) void announceLoad()
{
    Dl_info info;
    if (dladdr(reinterpret_cast<void*>(&announceLoad), &info) && info.dli_fname)
        logLine(std::string("load ") + info.dli_fname);
}

__attribute__((destructor)) void reportLeaks()
{
    if (!g_environments.empty() || !g_models.empty())
        logLine("LEAK environments=" + std::to_string(g_environments.size())
                + " models=" + std::to_string(g_models.size()));
}

constexpr int kNullArgument = 10002;
constexpr int kInvalidArgument = 10003;
constexpr int kUnknownAttribute = 10004;
constexpr int kDataNotAvailable = 10005;
constexpr int kIndexOutOfRange = 10006;
constexpr int kUnknownParameter = 10007;
constexpr int kValueOutOfRange = 10008;
constexpr int kNoLicense = 10009;
constexpr int kFileRead = 10012;
constexpr int kNumeric = 10014;
constexpr int kOutOfMemory = 10001;

}  // namespace

GRB_EXPORT int GRBloadenvadv(GRBenv** envP, const char* logfilename, int apitype, int major, int minor, int tech,
                             const char* server, const char* router, const char* password, const char* group,
                             int priority, int idletimeout, const char* cloudaccessid, const char* cloudsecretkey,
                             GRBcallback* cb, void* usrdata, GRBlogcallback* logcb, void* logdata)
{
    if (!envP)
        return kNullArgument;
    GRBenv* env = new GRBenv;
    env->name = "env" + std::to_string(++g_environmentCount);
    g_environments.insert(env);
    *envP = env;
    const std::string call = "GRBloadenvadv " + env->name;
    const bool local = !logfilename && !server && !router && !password && !group && priority == -9999999
        && idletimeout == -1 && !cloudaccessid && !cloudsecretkey && !cb && !usrdata && !logcb && !logdata;
    if (apitype != 1 || major != 12 || minor != 0 || tech != 1 || !local)
        return fail(env, call, kInvalidArgument, "Invalid arguments for a local environment of version 12.0.1");
    if (failureRequested("loadenv"))
        return fail(env, call, kNoLicense, "No Gurobi license found (test double)");
    logLine(call);
    say(env, "environment " + env->name + " ready");
    return 0;
}

GRB_EXPORT void GRBfreeenv(GRBenv* env)
{
    if (!env)
        return;
    const std::string call = "GRBfreeenv " + env->name;
    if (!knownEnvironment(env, call))
        return;
    if (env->modelCopy) {
        logLine("MISUSE " + call + ": a model's own environment");
        return;
    }
    if (env->models > 0)
        logLine("MISUSE " + call + ": freed before its models");
    logLine(call);
    g_environments.erase(env);
    delete env;
}

namespace {

// The parameters the double knows, with the library's types (1 int, 2 double, 3 string) and
// ranges; the library compares names ignoring case.
struct DoubleParameter {
    const char* name;
    int type;
    double min;
    double max;
};
constexpr DoubleParameter kParameters[] = {
    {"TimeLimit", 2, 0, 1e100}, {"MemLimit", 2, 0, 1e100}, {"NodeLimit", 2, 0, 1e100}, {"MIPGap", 2, 0, 1e100},
    {"OutputFlag", 1, 0, 1},    {"Seed", 1, 0, 2000000000}, {"SolutionLimit", 1, 1, 2000000000},
    {"LogFile", 3, 0, 0},
};

const DoubleParameter* findParameter(const std::string& name)
{
    for (const DoubleParameter& parameter : kParameters)
        if (strcasecmp(parameter.name, name.c_str()) == 0)
            return &parameter;
    return nullptr;
}

// Checks and keeps a number for a parameter of `type`; 0 or the library's error code.
int setNumber(GRBenv* env, const std::string& call, const std::string& name, int type, double value)
{
    const DoubleParameter* parameter = findParameter(name);
    if (!parameter || parameter->type != type)
        return fail(env, call, kUnknownParameter, "Unknown parameter '" + name + "'");
    if (!(value >= parameter->min && value <= parameter->max))
        return fail(env, call, kValueOutOfRange,
                    "Unable to set parameter " + name + " to value " + number(value) + " (minimum is "
                        + number(parameter->min) + ")");
    logLine(call);
    if (strcasecmp(parameter->name, "TimeLimit") == 0)
        env->timeLimit = value;
    else if (strcasecmp(parameter->name, "NodeLimit") == 0)
        env->nodeLimit = value;
    else if (strcasecmp(parameter->name, "OutputFlag") == 0)
        env->outputFlag = static_cast<int>(value);
    if (type == 2)
        say(env, name + " set to " + number(value));
    return 0;
}

}  // namespace

GRB_EXPORT int GRBsetdblparam(GRBenv* env, const char* paramname, double value)
{
    if (!env || !paramname)
        return kNullArgument;
    const std::string call = "GRBsetdblparam " + env->name + " " + paramname + " " + number(value);
    if (!knownEnvironment(env, call))
        return kNullArgument;
    return setNumber(env, call, paramname, 2, value);
}

GRB_EXPORT int GRBsetintparam(GRBenv* env, const char* paramname, int value)
{
    if (!env || !paramname)
        return kNullArgument;
    const std::string call = "GRBsetintparam " + env->name + " " + paramname + " " + std::to_string(value);
    if (!knownEnvironment(env, call))
        return kNullArgument;
    return setNumber(env, call, paramname, 1, value);
}

GRB_EXPORT int GRBsetstrparam(GRBenv* env, const char* paramname, const char* value)
{
    if (!env || !paramname || !value)
        return kNullArgument;
    const std::string call = "GRBsetstrparam " + env->name + " " + paramname + " " + value;
    if (!knownEnvironment(env, call))
        return kNullArgument;
    const DoubleParameter* parameter = findParameter(paramname);
    if (!parameter || parameter->type != 3)
        return fail(env, call, kUnknownParameter, std::string("Unknown parameter '") + paramname + "'");
    logLine(call);
    return 0;
}

GRB_EXPORT int GRBgetparamtype(GRBenv* env, const char* paramname)
{
    if (!env || !paramname || !knownEnvironment(env, "GRBgetparamtype"))
        return -1;
    logLine("GRBgetparamtype " + env->name + " " + paramname);
    const DoubleParameter* parameter = findParameter(paramname);
    return parameter ? parameter->type : -1;
}

// A .prm file: "Name value" a line, '#' starting a comment.
GRB_EXPORT int GRBreadparams(GRBenv* env, const char* filename)
{
    if (!env || !filename)
        return kNullArgument;
    const std::string call = "GRBreadparams " + env->name + " " + filename;
    if (!knownEnvironment(env, call))
        return kNullArgument;
    std::ifstream file(filename);
    if (!file)
        return fail(env, call, kFileRead, std::string("Unable to open file '") + filename + "' for input");
    logLine(call);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string name, value;
        if (!(words >> name))
            continue;
        const DoubleParameter* parameter = findParameter(name);
        if (!(words >> value) || !parameter)
            return fail(env, call, kUnknownParameter, "Unknown parameter '" + name + "'");
        const int code = parameter->type == 3 ? GRBsetstrparam(env, name.c_str(), value.c_str())
            : parameter->type == 2 ? GRBsetdblparam(env, name.c_str(), std::atof(value.c_str()))
                                   : GRBsetintparam(env, name.c_str(), std::atoi(value.c_str()));
        if (code != 0)
            return code;
    }
    return 0;
}

GRB_EXPORT int GRBstartenv(GRBenv* env)
{
    if (!env)
        return kNullArgument;
    const std::string call = "GRBstartenv " + env->name;
    if (!knownEnvironment(env, call))
        return kNullArgument;
    if (failureRequested("startenv"))
        return fail(env, call, kNoLicense, "License expired (test double)");
    logLine(call);
    return 0;
}

GRB_EXPORT int GRBreadmodel(GRBenv* env, const char* filename, GRBmodel** modelP)
{
    if (!env || !filename || !modelP)
        return kNullArgument;
    *modelP = nullptr;
    const std::string path = filename;
    const std::string call = "GRBreadmodel " + env->name + " " + path;
    if (!knownEnvironment(env, call))
        return kNullArgument;
    const FileType type = fileTypeOf(path);
    if (type == FileType::Unknown)
        return fail(env, call, kFileRead, "Unknown file type for file '" + path + "'");
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return fail(env, call, kFileRead, "Unable to open file '" + path + "' for input");
    say(env, "reading " + path);
    glp_prob* problem = type == FileType::Lp ? readLpFile(path) : readMpsFile(path);
    if (!problem)
        return fail(env, call, kFileRead,
                    std::string("Unable to read ") + (type == FileType::Lp ? "LP" : "MPS") + " file '" + path + "'");

    GRBmodel* model = new GRBmodel;
    model->name = "model" + std::to_string(++g_modelCount);
    model->reader = env;
    model->env = new GRBenv(*env);
    model->env->name = model->name + ".env";
    model->env->modelCopy = true;
    model->env->models = 0;
    model->env->lastError.clear();
    model->problem = problem;
    model->directives = readDirectives(path);
    g_models.insert(model);
    g_environments.insert(model->env);
    ++env->models;
    *modelP = model;
    logLine(call + " -> " + model->name);
    say(env, "read " + std::to_string(glp_get_num_rows(problem)) + " rows, "
                 + std::to_string(glp_get_num_cols(problem)) + " columns");
    return 0;
}

GRB_EXPORT GRBenv* GRBgetenv(GRBmodel* model)
{
    if (!model)
        return nullptr;
    logLine("GRBgetenv " + model->name);
    return knownModel(model, "GRBgetenv") ? model->env : nullptr;
}

GRB_EXPORT int GRBprefetchattr(GRBmodel* model, const char* attrname)
{
    if (!model || !attrname)
        return kNullArgument;
    const std::string call = "GRBprefetchattr " + model->name + " " + attrname;
    if (!knownModel(model, call))
        return kNullArgument;
    if (model->directives.refuseCounts)
        return fail(model->env, call, kDataNotAvailable, std::string("Unable to prefetch attribute '") + attrname + "'");
    logLine(call);
    return 0;
}

GRB_EXPORT int GRBgetintattr(GRBmodel* model, const char* attrname, int* valueP)
{
    if (!model || !attrname || !valueP)
        return kNullArgument;
    const std::string name = attrname;
    const std::string call = "GRBgetintattr " + model->name + " " + name;
    if (!knownModel(model, call))
        return kNullArgument;
    if (name == "NumConstrs")
        *valueP = glp_get_num_rows(model->problem);
    else if (name == "NumVars")
        *valueP = glp_get_num_cols(model->problem);
    else if (name == "NumSOS" || name == "NumQConstrs" || name == "NumGenConstrs")
        *valueP = 0;
    else if (name == "Status")
        *valueP = model->result.status;
    else if (name == "ModelSense")
        *valueP = glp_get_obj_dir(model->problem) == GLP_MAX ? -1 : 1;
    else if (name == "SolCount")
        *valueP = model->result.hasSolution ? 1 : 0;
    else
        return fail(model->env, call, kUnknownAttribute, "Unknown attribute '" + name + "'");
    logLine(call);
    return 0;
}

GRB_EXPORT int GRBgetdblattr(GRBmodel* model, const char* attrname, double* valueP)
{
    if (!model || !attrname || !valueP)
        return kNullArgument;
    const std::string name = attrname;
    const std::string call = "GRBgetdblattr " + model->name + " " + name;
    if (!knownModel(model, call))
        return kNullArgument;
    const std::string refused = "Unable to retrieve attribute '" + name + "'";
    if (name == "Runtime") {
        if (model->directives.refuseRuntime)
            return fail(model->env, call, kDataNotAvailable, refused);
        *valueP = model->runtime;
    } else if (name == "ObjVal") {
        if (!model->result.hasSolution)
            return fail(model->env, call, kDataNotAvailable, refused);
        *valueP = model->result.objective;
    } else if (name == "IterCount") {
        *valueP = model->result.iterations;
    } else if (name == "ObjBound" || name == "MIPGap" || name == "NodeCount") {
        // As the library: attributes of a MIP search only.
        if (!model->result.isMip)
            return fail(model->env, call, kDataNotAvailable, refused);
        const SolveResult& r = model->result;
        if (name == "ObjBound")
            *valueP = r.bound;
        else if (name == "NodeCount")
            *valueP = r.nodes;
        else if (!r.hasSolution)
            *valueP = 1e100;
        else
            *valueP = r.objective == 0 ? (r.bound == 0 ? 0 : 1e100) : std::fabs(r.bound - r.objective) / std::fabs(r.objective);
    } else {
        return fail(model->env, call, kUnknownAttribute, "Unknown attribute '" + name + "'");
    }
    logLine(call);
    return 0;
}

// Variable attributes: the values of the solution (with the model's wrong values put in) and
// the names, from index `start` on.
GRB_EXPORT int GRBgetdblattrarray(GRBmodel* model, const char* attrname, int start, int len, double* values)
{
    if (!model || !attrname || !values)
        return kNullArgument;
    const std::string name = attrname;
    const std::string call = "GRBgetdblattrarray " + model->name + " " + name;
    if (!knownModel(model, call))
        return kNullArgument;
    if (name != "X")
        return fail(model->env, call, kUnknownAttribute, "Unknown attribute '" + name + "'");
    if (!model->result.hasSolution)
        return fail(model->env, call, kDataNotAvailable, "Unable to retrieve attribute 'X'");
    if (start < 0 || len < 0 || start + len > glp_get_num_cols(model->problem))
        return fail(model->env, call, kIndexOutOfRange, "Index out of range for attribute 'X'");
    for (int i = 0; i < len; ++i) {
        const int column = start + i + 1;
        values[i] = model->result.isMip ? glp_mip_col_val(model->problem, column) : glp_get_col_prim(model->problem, column);
        for (const auto& [variable, value] : model->directives.wrongValues)
            if (glp_get_col_name(model->problem, column) == variable)
                values[i] = value;
    }
    logLine(call);
    return 0;
}

GRB_EXPORT int GRBgetstrattrarray(GRBmodel* model, const char* attrname, int start, int len, char** values)
{
    if (!model || !attrname || !values)
        return kNullArgument;
    const std::string name = attrname;
    const std::string call = "GRBgetstrattrarray " + model->name + " " + name;
    if (!knownModel(model, call))
        return kNullArgument;
    if (name != "VarName")
        return fail(model->env, call, kUnknownAttribute, "Unknown attribute '" + name + "'");
    if (start < 0 || len < 0 || start + len > glp_get_num_cols(model->problem))
        return fail(model->env, call, kIndexOutOfRange, "Index out of range for attribute 'VarName'");
    for (int i = 0; i < len; ++i)
        values[i] = const_cast<char*>(glp_get_col_name(model->problem, start + i + 1));
    logLine(call);
    return 0;
}

GRB_EXPORT int GRBupdatemodel(GRBmodel* model)
{
    if (!model)
        return kNullArgument;
    const std::string call = "GRBupdatemodel " + model->name;
    if (!knownModel(model, call))
        return kNullArgument;
    logLine(call);
    return 0;
}

#ifndef GRB_DOUBLE_WITHOUT_FREEMODEL
GRB_EXPORT int GRBfreemodel(GRBmodel* model)
{
    if (!model)
        return 0;
    const std::string call = "GRBfreemodel " + model->name;
    if (!knownModel(model, call))
        return kNullArgument;
    logLine(call);
    if (g_environments.count(model->reader))
        --model->reader->models;
    g_environments.erase(model->env);
    g_models.erase(model);
    glp_delete_prob(model->problem);
    delete model->env;
    delete model;
    return 0;
}
#endif

// What a broken solver library does to the process that runs it.
static void misbehave(const std::string& how)
{
    if (how == "segv")
        std::raise(SIGSEGV);
    else if (how == "abort")
        std::abort();
    else if (how == "exit")
        std::exit(3);
    else if (how == "hang")
        for (;;)
            pause();
    else if (how == "eat")
        // Touches every megabyte it gets, and uses the null pointer it is given at the end, as
        // careless C code does.
        for (;;) {
            char* block = static_cast<char*>(std::malloc(1 << 20));
            std::memset(block, 1, 1 << 20);
        }
}

GRB_EXPORT int GRBoptimize(GRBmodel* model)
{
    if (!model)
        return kNullArgument;
    const std::string call = "GRBoptimize " + model->name;
    if (!knownModel(model, call))
        return kNullArgument;
    if (model->directives.optimize == "oom")
        return fail(model->env, call, kOutOfMemory, "Out of memory (test double)");
    if (model->directives.optimize == "error")
        return fail(model->env, call, kNumeric, "Numerical trouble (test double)");
    misbehave(model->directives.optimize);
    logLine(call);
    say(model->env, "solving with GLPK " + std::string(glp_version()) + ", time limit " + number(model->env->timeLimit));
    const auto start = std::chrono::steady_clock::now();
    model->result = solveProblem(model->problem, model->env->timeLimit, model->directives.stopAtFirstSolution,
                                 model->env->nodeLimit);
    model->runtime = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (model->directives.forcedStatus)
        model->result.status = model->directives.forcedStatus;
    say(model->env, "status " + std::to_string(model->result.status));
    return 0;
}

GRB_EXPORT const char* GRBgeterrormsg(GRBenv* env)
{
    if (!env || !g_environments.count(env))
        return "";
    return env->lastError.c_str();
}

GRB_EXPORT void GRBversion(int* majorP, int* minorP, int* technicalP)
{
    logLine("GRBversion");
    *majorP = 12;
    *minorP = 0;
    *technicalP = 1;
}

// In-process tests ask how many objects are alive.
GRB_EXPORT void GRBdoubleLiveObjects(int* environments, int* models)
{
    *environments = static_cast<int>(g_environments.size());
    *models = static_cast<int>(g_models.size());
}

// The double must offer exactly what the program expects to call.
static_assert(std::is_same_v<decltype(GRBloadenvadv), GRBloadenvadvFunction>);
static_assert(std::is_same_v<decltype(GRBfreeenv), GRBfreeenvFunction>);
static_assert(std::is_same_v<decltype(GRBsetdblparam), GRBsetdblparamFunction>);
static_assert(std::is_same_v<decltype(GRBsetintparam), GRBsetintparamFunction>);
static_assert(std::is_same_v<decltype(GRBsetstrparam), GRBsetstrparamFunction>);
static_assert(std::is_same_v<decltype(GRBgetparamtype), GRBgetparamtypeFunction>);
static_assert(std::is_same_v<decltype(GRBreadparams), GRBreadparamsFunction>);
static_assert(std::is_same_v<decltype(GRBstartenv), GRBstartenvFunction>);
static_assert(std::is_same_v<decltype(GRBreadmodel), GRBreadmodelFunction>);
static_assert(std::is_same_v<decltype(GRBgetenv), GRBgetenvFunction>);
static_assert(std::is_same_v<decltype(GRBprefetchattr), GRBprefetchattrFunction>);
static_assert(std::is_same_v<decltype(GRBgetintattr), GRBgetintattrFunction>);
static_assert(std::is_same_v<decltype(GRBgetdblattr), GRBgetdblattrFunction>);
static_assert(std::is_same_v<decltype(GRBgetdblattrarray), GRBgetdblattrarrayFunction>);
static_assert(std::is_same_v<decltype(GRBgetstrattrarray), GRBgetstrattrarrayFunction>);
static_assert(std::is_same_v<decltype(GRBupdatemodel), GRBupdatemodelFunction>);
static_assert(std::is_same_v<decltype(GRBoptimize), GRBoptimizeFunction>);
static_assert(std::is_same_v<decltype(GRBgeterrormsg), GRBgeterrormsgFunction>);
static_assert(std::is_same_v<decltype(GRBversion), GRBversionFunction>);
#ifndef GRB_DOUBLE_WITHOUT_FREEMODEL
static_assert(std::is_same_v<decltype(GRBfreemodel), GRBfreemodelFunction>);
#endif
