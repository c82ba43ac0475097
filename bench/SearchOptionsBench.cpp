// The engine's branch-and-bound options chosen by measurement: every candidate setting once
// over a folder of models, in this one run. Prints the shifted geometric mean of the solving
// time (shift 10 s; a model not solved within the cap counts the cap) per setting, its ratio
// to GLPK's defaults, and per model the ratio of each setting's time to the defaults' time.
// Times are the solving thread's processor time, so that other work on a shared machine
// counts little; a watchdog stops a solve at the cap as Ctrl-C would.
// A model whose status or objective differs from the folder's bench.solu is marked "wrong".
//
// Usage: lumbrix_bench_search_options <folder> [cap seconds, default 20]
//
// Candidates: GLPK's defaults; each change alone (a cut class, all four, all four at the root
// only, each heuristic, branching and backtracking rules, the MIP presolver); then, greedily,
// every change that helped alone, and that set with each of its members taken out; last the
// engine's chosen options.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <pthread.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <scip/scip.h>
#include <scip/scipdefplugins.h>

#include "engines/scipcompat/SearchOptions.h"

namespace {

constexpr double kShift = 10.0;

// The report; standard output itself takes the engine's answer to the watchdog's Ctrl-C.
FILE* g_report = stdout;

struct Change {
    const char* name;
    std::function<void(SearchOptions&)> apply;
};

const std::vector<Change>& changes()
{
    static const std::vector<Change> list = {
        {"gmi", [](SearchOptions& o) { o.gomoryCuts = true; }},
        {"mir", [](SearchOptions& o) { o.mirCuts = true; }},
        {"cov", [](SearchOptions& o) { o.coverCuts = true; }},
        {"clq", [](SearchOptions& o) { o.cliqueCuts = true; }},
        {"cuts", [](SearchOptions& o) { o.gomoryCuts = o.mirCuts = o.coverCuts = o.cliqueCuts = true; }},
        {"rootcuts",
         [](SearchOptions& o) { o.gomoryCuts = o.mirCuts = o.coverCuts = o.cliqueCuts = o.cutsAtRootOnly = true; }},
        {"fp", [](SearchOptions& o) { o.feasibilityPump = true; }},
        {"ps", [](SearchOptions& o) { o.proximitySearch = true; }},
        {"nosr", [](SearchOptions& o) { o.simpleRounding = false; }},
        {"br=pch", [](SearchOptions& o) { o.branching = GLP_BR_PCH; }},
        {"bt=dfs", [](SearchOptions& o) { o.backtracking = GLP_BT_DFS; }},
        {"presolve", [](SearchOptions& o) { o.presolve = true; }},
    };
    return list;
}

struct Known {
    bool infeasible = false;
    double objective = 0.0;
};

struct Model {
    std::string path;
    std::string name;
    bool known = false;
    Known answer;
};

struct Run {
    double seconds = 0.0;
    bool solved = false;
    bool wrong = false;
};

struct Setting {
    std::string name;
    SearchOptions options;
    std::vector<Run> runs;
    double mean = 0.0;
};

std::string stem(const std::string& file)
{
    std::string name = file;
    for (const char* suffix : {".gz", ".bz2", ".lp", ".mps"}) {
        const std::size_t length = std::char_traits<char>::length(suffix);
        if (name.size() > length && name.compare(name.size() - length, length, suffix) == 0)
            name.erase(name.size() - length);
    }
    return name;
}

std::map<std::string, Known> readSolu(const std::string& path)
{
    std::map<std::string, Known> known;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string tag, name;
        fields >> tag >> name;
        Known entry;
        if (tag == "=inf=")
            entry.infeasible = true;
        else if (!(tag == "=opt=" && fields >> entry.objective))
            continue;
        known[name] = entry;
    }
    return known;
}

std::vector<Model> listModels(const std::string& folder)
{
    const std::map<std::string, Known> known = readSolu(folder + "/bench.solu");
    std::vector<Model> models;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string file = entry.path().filename().string();
        if (file == "bench.solu")
            continue;
        Model model{entry.path().string(), stem(file), false, {}};
        if (const auto found = known.find(model.name); found != known.end()) {
            model.known = true;
            model.answer = found->second;
        }
        models.push_back(model);
    }
    std::sort(models.begin(), models.end(), [](const Model& a, const Model& b) { return a.name < b.name; });
    return models;
}

bool agrees(const Model& model, SCIP_STATUS status, double objective)
{
    if (!model.known)
        return true;
    if (model.answer.infeasible)
        return status == SCIP_STATUS_INFEASIBLE;
    const double expected = model.answer.objective;
    return status == SCIP_STATUS_OPTIMAL && std::fabs(objective - expected) <= 1e-6 * std::max(1.0, std::fabs(expected));
}

double threadSeconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Interrupts the calling thread's solve once it has used `cap` seconds of processor time.
class Watchdog {
public:
    explicit Watchdog(double cap) : m_solver(pthread_self())
    {
        pthread_getcpuclockid(m_solver, &m_clock);
        m_start = threadSeconds(m_clock);
        m_thread = std::thread([this, cap] {
            while (!m_done) {
                if (threadSeconds(m_clock) - m_start >= cap) {
                    pthread_kill(m_solver, SIGINT);
                    return;
                }
                usleep(10000);
            }
        });
    }
    ~Watchdog()
    {
        m_done = true;
        m_thread.join();
    }
    double seconds() const { return threadSeconds(m_clock) - m_start; }

private:
    pthread_t m_solver;
    clockid_t m_clock{};
    double m_start = 0.0;
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

Run solveOnce(const Model& model, double cap)
{
    Run run;
    SCIP* scip = nullptr;
    bool solved = false;
    double seconds = 0.0;
    if (SCIPcreate(&scip) == SCIP_OKAY && SCIPincludeDefaultPlugins(scip) == SCIP_OKAY
        && SCIPsetMessagehdlr(scip, nullptr) == SCIP_OKAY && SCIPreadProb(scip, model.path.c_str(), nullptr) == SCIP_OKAY
        && SCIPsetRealParam(scip, "limits/time", 20 * cap) == SCIP_OKAY) {  // the watchdog stops it first
        Watchdog watchdog(cap);
        solved = SCIPsolve(scip) == SCIP_OKAY;
        seconds = watchdog.seconds();
    }
    if (!solved) {
        run.seconds = cap;
        run.wrong = true;
    } else {
        const SCIP_STATUS status = SCIPgetStatus(scip);
        run.solved = status == SCIP_STATUS_OPTIMAL || status == SCIP_STATUS_INFEASIBLE;
        run.seconds = run.solved ? std::min(cap, seconds) : cap;
        run.wrong = run.solved && !agrees(model, status, SCIPgetPrimalbound(scip));
    }
    if (scip != nullptr)
        SCIPfree(&scip);
    return run;
}

double shiftedGeometricMean(const std::vector<Run>& runs)
{
    double logs = 0.0;
    for (const Run& run : runs)
        logs += std::log(run.seconds + kShift);
    return std::exp(logs / static_cast<double>(runs.size())) - kShift;
}

class Measurement {
public:
    Measurement(std::vector<Model> models, double cap) : m_models(std::move(models)), m_cap(cap) {}

    const Setting& measure(const std::string& name, const SearchOptions& options)
    {
        Setting setting{name, options, {}, 0.0};
        useSearchOptions(options);
        for (const Model& model : m_models)
            setting.runs.push_back(solveOnce(model, m_cap));
        setting.mean = shiftedGeometricMean(setting.runs);
        m_settings.push_back(setting);
        const double base = m_settings.front().mean;
        std::fprintf(g_report, "%-40s %8.3f s  x%.2f\n", name.c_str(), setting.mean, base / setting.mean);
        std::fflush(g_report);
        return m_settings.back();
    }

    void printTable() const
    {
        std::fprintf(g_report, "\nseconds per model (cap %.0f s; * not solved within it, ! wrong answer); in [] the "
                    "defaults' time over the setting's\n",
                    m_cap);
        for (const Setting& setting : m_settings) {
            std::fprintf(g_report, "%s\n", setting.name.c_str());
            for (std::size_t k = 0; k < m_models.size(); ++k) {
                const Run& run = setting.runs[k];
                const Run& base = m_settings.front().runs[k];
                std::fprintf(g_report, "  %-14s %7.2f%s%s [%.2f]\n", m_models[k].name.c_str(), run.seconds, run.solved ? " " : "*",
                            run.wrong ? "!" : " ", base.seconds / std::max(run.seconds, 1e-3));
            }
        }
    }

private:
    std::vector<Model> m_models;
    double m_cap;
    std::vector<Setting> m_settings;
};

std::string joined(const std::vector<const Change*>& set, const Change* without)
{
    std::string name;
    for (const Change* change : set) {
        if (change != without)
            name += (name.empty() ? "" : "+") + std::string(change->name);
    }
    return name.empty() ? "defaults" : name;
}

SearchOptions combined(const std::vector<const Change*>& set, const Change* without)
{
    SearchOptions options = glpkDefaultSearchOptions();
    for (const Change* change : set) {
        if (change != without)
            change->apply(options);
    }
    return options;
}

// What a change sets: changes of one group exclude each other.
std::string groupOf(const std::string& name)
{
    if (name == "gmi" || name == "mir" || name == "cov" || name == "clq" || name == "cuts" || name == "rootcuts")
        return "cuts";
    if (name.rfind("br=", 0) == 0 || name.rfind("bt=", 0) == 0)
        return name.substr(0, 2);
    return name;
}

// Changes that won alone, best first, and of each group only the best.
std::vector<const Change*> winners(std::vector<std::pair<const Change*, double>> singles, double base)
{
    std::sort(singles.begin(), singles.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    std::vector<const Change*> set;
    std::vector<std::string> groups;
    for (const auto& [change, mean] : singles) {
        const std::string group = groupOf(change->name);
        if (mean >= base || std::find(groups.begin(), groups.end(), group) != groups.end())
            continue;
        groups.push_back(group);
        set.push_back(change);
    }
    return set;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s <folder of models> [cap seconds]\n", argv[0]);
        return 2;
    }
    const double cap = argc == 3 ? std::atof(argv[2]) : 20.0;
    g_report = fdopen(dup(STDOUT_FILENO), "w");
    if (g_report == nullptr || !std::freopen("/dev/null", "w", stdout))
        return 2;
    Measurement measurement(listModels(argv[1]), cap);
    std::fprintf(g_report, "shifted geometric mean of the solving time (shift %.0f s), and the defaults' over it\n", kShift);
    const double base = measurement.measure("defaults", glpkDefaultSearchOptions()).mean;
    std::vector<std::pair<const Change*, double>> singles;
    for (const Change& change : changes()) {
        SearchOptions options = glpkDefaultSearchOptions();
        change.apply(options);
        singles.emplace_back(&change, measurement.measure(change.name, options).mean);
    }
    const std::vector<const Change*> set = winners(singles, base);
    if (set.size() > 1) {
        measurement.measure(joined(set, nullptr), combined(set, nullptr));
        for (const Change* change : set)
            measurement.measure(joined(set, change), combined(set, change));
    }
    measurement.measure("chosen", chosenSearchOptions());
    measurement.printTable();
    return 0;
}
