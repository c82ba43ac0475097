#pragma once

#include <string>
#include <string_view>
#include <vector>

// A CPLEX LP file as SCIP's LP reader understands it, before anything is handed to GLPK.
// Values at or beyond SCIP's infinity (1e20) stand for infinite bounds and sides.

enum class VarType : unsigned char { Continuous, Integer, Binary };

struct LpColumn {
    double lower = 0.0;
    double upper = 1e20;
    double objective = 0.0;
    VarType type = VarType::Continuous;
    std::string_view name;  // into the file's text
};

struct LpTerm {
    int column;
    double value;
};

// A linear row: its terms are model.terms[first, first + count).
struct LpRow {
    int first = 0;
    int count = 0;
    double lower = -1e20;
    double upper = 1e20;
};

// linear part <= rhs must hold when the binary variable takes the active value.
struct LpIndicator {
    int binary = 0;
    bool activeOnOne = true;
    int first = 0;
    int count = 0;
    double rhs = 0.0;
    int line = 0;
};

// x = 0 or x >= threshold (the lower bound the variable had when the section named it).
struct LpSemicontinuous {
    int column = 0;
    double threshold = 0.0;
    int line = 0;
};

struct LpSos {
    int type = 1;
    std::vector<LpTerm> members;  // value: the weight
    int line = 0;
};

struct LpModel {
    bool maximize = false;
    double objectiveOffset = 0.0;
    std::vector<LpColumn> columns;
    std::vector<LpTerm> terms;
    std::vector<LpRow> rows;
    std::vector<LpIndicator> indicators;
    std::vector<LpSemicontinuous> semicontinuous;
    std::vector<LpSos> sets;

    // What SCIP's problem holds on top of the columns and rows above: the constraints of
    // indicators (two each: SCIP adds a linear row), sets and semi-continuous variables, and
    // the slack variable SCIP adds for every indicator constraint.
    int extraConstraints = 0;
    int implicitSlacks = 0;
    int continuousSlacks = 0;
};

struct LpReadError {
    int line = 0;  // 0: no line applies
    std::string message;
};

// Parses `text` as SCIP 9's LP reader does. False with `error` set when SCIP refuses it.
bool parseLpText(std::string_view text, LpModel& model, LpReadError& error);
