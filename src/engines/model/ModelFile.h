#pragma once

#include "engines/model/LpModel.h"

// Reads a model file whole into model.text and parses it. 0, or the errno of a file that
// cannot be read (SCIP counts a folder as a file it cannot open); -1 when it can be read but
// not parsed, with `error` set. Throws std::bad_alloc when memory runs out.
int readModelFile(const char* path, LpModel& model, LpReadError& error);
