#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engines/model/Number.h"

// A model file (CPLEX LP or MPS) as SCIP's readers understand it, before anything is handed to GLPK.
// Values at or beyond SCIP's infinity (1e20) stand for infinite bounds and sides. Every number
// keeps its exact value beside the double a solver gets (see Number).

enum class VarType : unsigned char { Continuous, Integer, Binary };

struct LpColumn {
    Number lower = 0.0;
    Number upper = 1e20;
    Number objective = 0.0;
    VarType type = VarType::Continuous;
    std::string_view name;  // into the file's text
};

struct LpTerm {
    int column;
    Number value;
};

// A linear row: its terms are model.terms[first, first + count).
struct LpRow {
    int first = 0;
    int count = 0;
    Number lower = -1e20;
    Number upper = 1e20;
    std::string_view name;  // into the file's text; empty when the file gives none
};

// linear part <= rhs must hold when the binary variable takes the active value.
struct LpIndicator {
    int binary = 0;
    bool activeOnOne = true;
    int first = 0;
    int count = 0;
    Number rhs = 0.0;
    int line = 0;
    std::string_view name;  // into the file's text; empty when the file gives none
};

// x = 0 or x >= threshold (the lower bound the variable had when the section named it).
struct LpSemicontinuous {
    int column = 0;
    Number threshold = 0.0;
    int line = 0;
};

struct LpSos {
    int type = 1;
    std::vector<LpTerm> members;  // value: the weight
    int line = 0;
    std::string_view name;  // into the file's text; empty when the file gives none
};

struct LpModel {
    // The file's text, which the names point into; read whole before parsing.
    std::string text;
    bool maximize = false;
    Number objectiveOffset = 0.0;
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

// Adds an indicator constraint as SCIP counts it: SCIP adds a slack variable and a linear row
// besides it; the slack is implicitly integer when the row is integral at this point of the file.
void addIndicator(LpModel& model, const LpIndicator& indicator);

struct LpReadError {
    int line = 0;  // 0: no line applies
    std::string message;
};

// Parses `text` as SCIP 9's LP reader does. False with `error` set when SCIP refuses it. The
// model's names point into `text`.
bool parseLpText(std::string_view text, LpModel& model, LpReadError& error);

// Parses `text` as SCIP 9's MPS reader does (fixed and free layout). False with `error` set
// when SCIP refuses it, or when it holds quadratic sections. Names with blanks in fixed
// layout are patched with '_' in `text` itself, as SCIP patches them; the names point into it.
bool parseMpsText(std::string& text, LpModel& model, LpReadError& error);
