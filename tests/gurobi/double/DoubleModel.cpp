#include "DoubleModel.h"

#include <chrono>
#include <climits>
#include <fstream>
#include <sstream>

namespace {

// GLPK writes to the process's terminal; the program under test must not see it.
class QuietGlpk {
public:
    QuietGlpk() : m_previous(glp_term_out(GLP_OFF)) {}
    ~QuietGlpk() { glp_term_out(m_previous); }
    QuietGlpk(const QuietGlpk&) = delete;
    QuietGlpk& operator=(const QuietGlpk&) = delete;

private:
    int m_previous;
};

int milliseconds(double seconds)
{
    if (!(seconds < INT_MAX / 1000.0))
        return INT_MAX;
    return seconds <= 0 ? 0 : static_cast<int>(seconds * 1000.0);
}

class Timer {
public:
    double seconds() const
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }

private:
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};

// What the search shows as it goes: its size and its best open node's bound.
struct SearchWatch {
    bool stopAtFirstSolution = false;
    double bound = 0;
    bool hasBound = false;
    int nodes = 0;
    double nodeLimit = 1e100;
    int explored = 0;
    bool nodeLimitReached = false;
};

void watchSearch(glp_tree* tree, void* info)
{
    auto* watch = static_cast<SearchWatch*>(info);
    int active = 0, current = 0, total = 0;
    glp_ios_tree_size(tree, &active, &current, &total);
    watch->nodes = total;
    if (const int best = glp_ios_best_node(tree)) {
        watch->bound = glp_ios_node_bound(tree, best);
        watch->hasBound = true;
    }
    if (glp_ios_reason(tree) == GLP_IBINGO && watch->stopAtFirstSolution)
        glp_ios_terminate(tree);
    if (glp_ios_reason(tree) == GLP_IPREPRO)
        ++watch->explored;
    if (glp_ios_reason(tree) == GLP_ISELECT && watch->explored >= watch->nodeLimit) {
        watch->nodeLimitReached = true;
        glp_ios_terminate(tree);
    }
}

SolveResult solveMip(glp_prob* problem, int limit, bool stopAtFirstSolution, double nodeLimit)
{
    SearchWatch watch;
    watch.stopAtFirstSolution = stopAtFirstSolution;
    watch.nodeLimit = nodeLimit;
    watch.bound = glp_get_obj_val(problem);
    watch.hasBound = true;
    glp_iocp parameters;
    glp_init_iocp(&parameters);
    parameters.msg_lev = GLP_MSG_OFF;
    parameters.tm_lim = limit;
    parameters.cb_func = watchSearch;
    parameters.cb_info = &watch;
    const int code = glp_intopt(problem, &parameters);
    const int status = glp_mip_status(problem);
    SolveResult result;
    result.isMip = true;
    result.nodes = watch.nodes;
    result.iterations = glp_get_it_cnt(problem);
    result.hasSolution = status == GLP_OPT || status == GLP_FEAS;
    result.objective = result.hasSolution ? glp_mip_obj_val(problem) : 0;
    result.bound = code == 0 && status == GLP_OPT ? result.objective : watch.bound;
    if (code == GLP_ESTOP && watch.nodeLimitReached)
        result.status = 8;
    else if (code == GLP_ETMLIM || code == GLP_ESTOP)
        result.status = 9;
    else if (code != 0)
        result.status = 12;
    else
        result.status = status == GLP_OPT ? 2 : status == GLP_NOFEAS ? 3 : 12;
    return result;
}

}  // namespace

ModelDirectives readDirectives(const std::string& path)
{
    ModelDirectives directives;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        const std::string marker = "\\ double:";
        if (line.compare(0, marker.size(), marker) != 0)
            continue;
        std::istringstream words(line.substr(marker.size()));
        std::string word;
        while (words >> word) {
            if (word.rfind("status=", 0) == 0)
                directives.forcedStatus = std::stoi(word.substr(7));
            else if (word.rfind("optimize=", 0) == 0)
                directives.optimize = word.substr(9);
            else if (word == "runtime=refuse")
                directives.refuseRuntime = true;
            else if (word == "counts=refuse")
                directives.refuseCounts = true;
            else if (word == "stop=first")
                directives.stopAtFirstSolution = true;
            else if (word.rfind("x=", 0) == 0 && word.find(':') != std::string::npos)
                directives.wrongValues.emplace_back(word.substr(2, word.find(':') - 2),
                                                    std::stod(word.substr(word.find(':') + 1)));
        }
    }
    return directives;
}

glp_prob* readLpFile(const std::string& path)
{
    QuietGlpk quiet;
    glp_prob* problem = glp_create_prob();
    if (glp_read_lp(problem, nullptr, path.c_str()) != 0) {
        glp_delete_prob(problem);
        return nullptr;
    }
    return problem;
}

glp_prob* readMpsFile(const std::string& path)
{
    QuietGlpk quiet;
    glp_prob* problem = glp_create_prob();
    if (glp_read_mps(problem, GLP_MPS_FILE, nullptr, path.c_str()) != 0) {
        glp_delete_prob(problem);
        return nullptr;
    }
    return problem;
}

SolveResult solveProblem(glp_prob* problem, double timeLimit, bool stopAtFirstSolution, double nodeLimit)
{
    QuietGlpk quiet;
    const Timer timer;
    glp_smcp parameters;
    glp_init_smcp(&parameters);
    parameters.msg_lev = GLP_MSG_OFF;
    parameters.tm_lim = milliseconds(timeLimit);
    const int code = glp_simplex(problem, &parameters);
    const bool integer = glp_get_num_int(problem) > 0;
    SolveResult result;
    result.isMip = integer;
    result.iterations = glp_get_it_cnt(problem);
    if (code == GLP_ETMLIM) {
        result.status = 9;
        return result;
    }
    if (code != 0) {
        result.status = 12;
        return result;
    }
    switch (glp_get_status(problem)) {
    case GLP_OPT:
        if (integer)
            return solveMip(problem, milliseconds(timeLimit - timer.seconds()), stopAtFirstSolution, nodeLimit);
        result.status = 2;
        result.hasSolution = true;
        result.objective = glp_get_obj_val(problem);
        return result;
    case GLP_NOFEAS:
        result.status = 3;
        return result;
    case GLP_UNBND:
        // Without integer points the unbounded relaxation says nothing about the model.
        result.status = integer ? 4 : 5;
        return result;
    default:
        result.status = 12;
        return result;
    }
}
