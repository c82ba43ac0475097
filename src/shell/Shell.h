#pragma once

// The command shell: banner, then prompt and dispatch until `exit` or the end of input.
void runShell();
