#pragma once

#include "shell/Console.h"

// Makes Tab complete what the coming prompt asks for: the command words, a file or
// folder path, or nothing. Completion inserts no blank after a match, since answers are
// compared exactly; a completed folder gets its '/' so that Tab can go on inside it.
void useCompletion(Completion completion);
