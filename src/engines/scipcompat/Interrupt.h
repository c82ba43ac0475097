#pragma once

// Ctrl-C during a solve, as SCIP catches it by default: the first press asks the running
// solve to stop, five presses end the process. The handler is installed only while a solve
// runs; the previous disposition of SIGINT is put back afterwards.
void captureInterrupt();
void releaseInterrupt();
bool interruptRequested();
