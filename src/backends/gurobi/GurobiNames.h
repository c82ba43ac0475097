#pragma once

// Parameters and attributes by their position in the library's tables of names; only the
// ones the program uses are listed.

enum class DoubleParam { TimeLimit = 5, MemLimit = 28 };

enum class IntParam { OutputFlag = 47 };

// SolCount's number is no position: the program knows it by name only.
enum class IntAttr { NumConstrs = 0, NumVars = 1, NumSOS = 2, NumQConstrs = 3, NumGenConstrs = 4, Status = 16, ModelSense = 17, SolCount };

enum class DoubleAttr { Runtime = 0, ObjVal = 26, ObjBound = 27, MIPGap = 29, NodeCount = 31, IterCount = 32 };

// The names the library knows them by.
const char* gurobiName(DoubleParam parameter);
const char* gurobiName(IntParam parameter);
const char* gurobiName(IntAttr attribute);
const char* gurobiName(DoubleAttr attribute);

// Attributes of every variable, read as arrays.
enum class VariableAttr { X, VarName };
const char* gurobiName(VariableAttr attribute);
