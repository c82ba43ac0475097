// GLPK's own cost of converting a folder of MathProg models: the translator and LP writer
// calls for every .mod file (with its .dat when there is one), terminal output left on.
#include <cstdio>
#include <cstring>
#include <string>

#include <dirent.h>
#include <unistd.h>

#include <glpk.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder of .mod models>\n", argv[0]);
        return 2;
    }
    DIR* dir = opendir(argv[1]);
    if (!dir) {
        std::perror(argv[1]);
        return 1;
    }
    int written = 0;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() < 3 || name.compare(name.size() - 3, 3, "mod") != 0)
            continue;
        const std::string model = std::string(argv[1]) + "/" + name;
        const std::string stem = model.substr(0, model.size() - 3);
        const std::string data = stem + "dat";
        const bool hasData = access(data.c_str(), R_OK) == 0;
        glp_prob* problem = glp_create_prob();
        glp_tran* translator = glp_mpl_alloc_wksp();
        int result = glp_mpl_read_model(translator, model.c_str(), hasData ? 1 : 0);
        if (result == 0 && hasData)
            result = glp_mpl_read_data(translator, data.c_str());
        if (result == 0)
            result = glp_mpl_generate(translator, nullptr);
        if (result == 0) {
            glp_mpl_build_prob(translator, problem);
            if (glp_write_lp(problem, nullptr, (stem + "lp").c_str()) == 0)
                ++written;
        }
        glp_mpl_free_wksp(translator);
        glp_delete_prob(problem);
    }
    closedir(dir);
    std::fprintf(stderr, "%d LP files\n", written);
    return 0;
}
