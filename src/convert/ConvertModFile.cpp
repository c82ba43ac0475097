#include "convert/ConvertModFile.h"

#include <cstdio>
#include <iostream>

#include <glpk.h>

#include "convert/ReadableFile.h"
#include "glpk/GlpkGuard.h"

namespace {

enum class Outcome { Converted, ReadFailed, GenerateFailed, WriteFailed };

// What one conversion works on. Plain pointers and values only: a GLPK fatal error jumps
// over the code that uses it.
struct Conversion {
    const char* modelPath;
    const char* lpPath;
    const char* dataPath;  // null when there is no readable data file
    Outcome outcome;
};

// As glpsol does it: a data file replaces the model's own data section; without one, the
// model's own data section is used.
int readModel(glp_tran* translator, const Conversion& conversion)
{
    if (conversion.dataPath == nullptr)
        return glp_mpl_read_model(translator, conversion.modelPath, 0);
    const int result = glp_mpl_read_model(translator, conversion.modelPath, 1);
    if (result != 0)
        return result;
    return glp_mpl_read_data(translator, conversion.dataPath);
}

Outcome translate(glp_tran* translator, glp_prob* problem, const Conversion& conversion)
{
    if (readModel(translator, conversion) != 0)
        return Outcome::ReadFailed;
    // No output file: the model's display and printf statements go to GLPK's terminal.
    if (glp_mpl_generate(translator, nullptr) != 0)
        return Outcome::GenerateFailed;
    glp_mpl_build_prob(translator, problem);
    if (glp_write_lp(problem, nullptr, conversion.lpPath) != 0)
        return Outcome::WriteFailed;
    return Outcome::Converted;
}

// Runs under the GLPK guard, so nothing here owns anything with a destructor.
void runConversion(void* context)
{
    Conversion& conversion = *static_cast<Conversion*>(context);
    glp_prob* problem = glp_create_prob();
    glp_tran* translator = glp_mpl_alloc_wksp();
    conversion.outcome = translate(translator, problem, conversion);
    glp_mpl_free_wksp(translator);
    glp_delete_prob(problem);
}

bool endsWithMod(const std::string& path)
{
    return path.size() >= 3 && path.compare(path.size() - 3, 3, "mod") == 0;
}

// GLPK and the program share the console: what either wrote so far must be out first.
// A console that cannot be written to leaves nowhere to report that, so the results of
// these writes are not acted on.
void flushStandardOutput()
{
    std::cout.flush();
    static_cast<void>(std::fflush(stdout));
}

void reportFailure(const char* message)
{
    flushStandardOutput();
    static_cast<void>(std::fprintf(stderr, "%s", message));
}

}  // namespace

void convertModFile(std::string path)
{
    if (!endsWithMod(path))
        return;
    const std::string stem = path.substr(0, path.size() - 3);
    const std::string lpPath = stem + "lp";
    const std::string dataPath = stem + "dat";

    // GLPK would wait for ever on a FIFO or a terminal; such a model cannot be read.
    if (isStreamOrDevice(path)) {
        reportFailure("Erro ao tranformar modelo\n");
        return;
    }

    Conversion conversion{path.c_str(), lpPath.c_str(), isReadableFile(dataPath) ? dataPath.c_str() : nullptr,
                          Outcome::ReadFailed};
    flushStandardOutput();
    // A GLPK fatal error has already released everything GLPK held, this model's objects included.
    if (!runGlpkGuarded(runConversion, &conversion)) {
        reportFailure("Erro ao tranformar modelo\n");
        return;
    }
    switch (conversion.outcome) {
    case Outcome::Converted:
        break;
    case Outcome::ReadFailed:
        reportFailure("Erro ao tranformar modelo\n");
        break;
    case Outcome::GenerateFailed:
        reportFailure("Erro ao gerar modelo\n");
        break;
    case Outcome::WriteFailed:
        reportFailure("Erro ao escrever arquivo .lp\n");
        break;
    }
}
