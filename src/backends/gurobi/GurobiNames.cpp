#include "backends/gurobi/GurobiNames.h"

// An unlisted value gets an empty name, which the library refuses as unknown.

const char* gurobiName(DoubleParam parameter)
{
    switch (parameter) {
    case DoubleParam::TimeLimit:
        return "TimeLimit";
    case DoubleParam::MemLimit:
        return "MemLimit";
    }
    return "";
}

const char* gurobiName(IntParam parameter)
{
    switch (parameter) {
    case IntParam::OutputFlag:
        return "OutputFlag";
    }
    return "";
}

const char* gurobiName(IntAttr attribute)
{
    switch (attribute) {
    case IntAttr::NumConstrs:
        return "NumConstrs";
    case IntAttr::NumVars:
        return "NumVars";
    case IntAttr::NumSOS:
        return "NumSOS";
    case IntAttr::NumQConstrs:
        return "NumQConstrs";
    case IntAttr::NumGenConstrs:
        return "NumGenConstrs";
    case IntAttr::Status:
        return "Status";
    case IntAttr::ModelSense:
        return "ModelSense";
    case IntAttr::SolCount:
        return "SolCount";
    }
    return "";
}

const char* gurobiName(DoubleAttr attribute)
{
    switch (attribute) {
    case DoubleAttr::Runtime:
        return "Runtime";
    case DoubleAttr::ObjVal:
        return "ObjVal";
    case DoubleAttr::ObjBound:
        return "ObjBound";
    case DoubleAttr::MIPGap:
        return "MIPGap";
    case DoubleAttr::NodeCount:
        return "NodeCount";
    case DoubleAttr::IterCount:
        return "IterCount";
    }
    return "";
}

const char* gurobiName(VariableAttr attribute)
{
    switch (attribute) {
    case VariableAttr::X:
        return "X";
    case VariableAttr::VarName:
        return "VarName";
    }
    return "";
}
