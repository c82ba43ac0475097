#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "engines/model/Decompress.h"
#include "engines/model/LpModel.h"

// The formats the library reads: CPLEX LP and MPS (fixed and free), as SCIP 9 reads them.
enum class ModelFormat : unsigned char { Lp, Mps };

// A file's format, and the compression its name says. Every file is read through gzip's
// eyes, as SCIP built with zlib reads it: gzip data is decompressed whatever the name, plain
// text passes; a name ending in ".bz2" must hold bzip2 data.
struct ModelKind {
    ModelFormat format = ModelFormat::Lp;
    Compression compression = Compression::None;
};

// The format an extension names as SCIP's readers take it: "lp" or "mps", in any case.
std::optional<ModelFormat> modelFormatOfExtension(std::string_view extension);

// The kind a file name says, as SCIP splits it: a compression suffix taken off first ("gz",
// "z" or "Z": gzip; "bz2": bzip2), then the format of what is left's extension. None when
// the name names no format.
std::optional<ModelKind> modelKindOfName(std::string_view name);

// Reads a model file whole into model.text and parses it as the kind its name says. 0, or
// the errno of a file that cannot be read (SCIP counts a folder as a file it cannot open);
// -1 when it can be read but not parsed, is not what its name says (corrupt or truncated
// compressed data) or the name names no format, with `error` set (line 0: no line applies).
// Throws std::bad_alloc when memory runs out.
int readModelFile(const char* path, LpModel& model, LpReadError& error);

// The same with the kind given, whatever the name says (as SCIPreadProb's extension).
int readModelFile(const char* path, const ModelKind& kind, LpModel& model, LpReadError& error);

// A model read once for two readers in one process: the compatibility engine reads the file
// and keeps the model, and the check of the solution after the solve takes it instead of
// reading the file again. Only the model of a small file is kept, so that no large model
// holds its memory through a solve where reading it again costs little beside the solving.
// The same as readModelFile with the kind given otherwise; `model` is set when the file was
// read and parsed.
int readModelFileKept(const char* path, const ModelKind& kind, std::shared_ptr<const LpModel>& model,
                      LpReadError& error);

// The model kept for this path, if the file is still the one it was read from (the same
// file, size and time of change); none otherwise. Nothing is kept afterwards either way.
std::shared_ptr<const LpModel> takeKeptModel(const char* path);
