#pragma once

#include <memory>

#include "engines/model/LpModel.h"

// Reads a model file whole into model.text and parses it. 0, or the errno of a file that
// cannot be read (SCIP counts a folder as a file it cannot open); -1 when it can be read but
// not parsed, with `error` set. Throws std::bad_alloc when memory runs out.
int readModelFile(const char* path, LpModel& model, LpReadError& error);

// A model read once for two readers in one process: the compatibility engine reads the file
// and keeps the model, and the check of the solution after the solve takes it instead of
// reading the file again. Only the model of a small file is kept, so that no large model
// holds its memory through a solve where reading it again costs little beside the solving.
// The same as readModelFile otherwise; `model` is set when the file was read and parsed.
int readModelFileKept(const char* path, std::shared_ptr<const LpModel>& model, LpReadError& error);

// The model kept for this path, if the file is still the one it was read from (the same
// file, size and time of change); none otherwise. Nothing is kept afterwards either way.
std::shared_ptr<const LpModel> takeKeptModel(const char* path);
