#pragma once

// The `mod_lp` command: writes an LP file next to every MathProg model of a folder.
void convertModFolder();
