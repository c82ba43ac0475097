#pragma once

#include <string_view>

// Which listing entries a run hands to the solver.
enum class ModelFileRule : unsigned char {
    Shell,        // a name that ends in "lp", as the shell has always taken it
    CommandLine,  // ".lp" or ".mps", either one optionally followed by ".gz" or ".bz2"
};

bool isModelFile(std::string_view name, ModelFileRule rule);

// The name known-results files give a model: its file name without a compression suffix
// (".gz", ".bz2") and then without its extension, as MIPLIB's files name "air04.mps.gz"
// "air04".
std::string_view modelStem(std::string_view fileName);

// The model files a solver reads by itself. Every solver reads both formats, LP and MPS; a
// compression it does not read, Lumbrix decompresses for it (see HandedModel).
struct ModelKinds {
    bool gzip = false;
    bool bzip2 = false;
};
