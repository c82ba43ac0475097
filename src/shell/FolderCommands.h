#pragma once

#include "backends/RunSettings.h"

// `opt`: asks for the model folder and the output folder, then runs the optimisation.
void optimizeFolder(RunSettings& settings);

// `mod_lp`: asks for a folder of MathProg models, then converts them.
void convertModFolder(RunSettings& settings);
