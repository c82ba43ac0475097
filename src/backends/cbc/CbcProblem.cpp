#include "backends/cbc/CbcProblem.h"

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

namespace {

// CBC's infinity is DBL_MAX.
double cbcBound(double value)
{
    return std::isinf(value) ? std::copysign(DBL_MAX, value) : value;
}

std::vector<double> cbcBounds(const std::vector<double>& values)
{
    std::vector<double> bounds(values.size());
    for (std::size_t k = 0; k < values.size(); ++k)
        bounds[k] = cbcBound(values[k]);
    return bounds;
}

// The layout's triplets (1-based, element 0 unused) in column order.
struct ColumnMatrix {
    std::vector<CoinBigIndex> starts;
    std::vector<int> rows;
    std::vector<double> values;
};

ColumnMatrix byColumn(const LinearLayout& layout)
{
    const std::size_t columns = layout.columnLower.size();
    ColumnMatrix matrix;
    matrix.starts.assign(columns + 1, 0);
    for (std::size_t k = 1; k < layout.values.size(); ++k)
        ++matrix.starts[static_cast<std::size_t>(layout.columnIndex[k])];
    for (std::size_t j = 0; j < columns; ++j)
        matrix.starts[j + 1] += matrix.starts[j];
    matrix.rows.resize(layout.values.size() - 1);
    matrix.values.resize(layout.values.size() - 1);
    std::vector<CoinBigIndex> next(matrix.starts.begin(), matrix.starts.end() - 1);
    for (std::size_t k = 1; k < layout.values.size(); ++k) {
        const std::size_t slot = static_cast<std::size_t>(next[static_cast<std::size_t>(layout.columnIndex[k] - 1)]++);
        matrix.rows[slot] = layout.rowIndex[k] - 1;
        matrix.values[slot] = layout.values[k];
    }
    return matrix;
}

void nameModelParts(const LpModel& model, OsiClpSolverInterface& solver)
{
    for (std::size_t j = 0; j < model.columns.size(); ++j)
        solver.setColName(static_cast<int>(j), std::string(model.columns[j].name));
    for (std::size_t i = 0; i < model.rows.size(); ++i)
        if (!model.rows[i].name.empty())
            solver.setRowName(static_cast<int>(i), std::string(model.rows[i].name));
}

void loadLayout(const LinearLayout& layout, OsiClpSolverInterface& solver)
{
    const ColumnMatrix matrix = byColumn(layout);
    const std::vector<double> columnLower = cbcBounds(layout.columnLower);
    const std::vector<double> columnUpper = cbcBounds(layout.columnUpper);
    const std::vector<double> rowLower = cbcBounds(layout.rowLower);
    const std::vector<double> rowUpper = cbcBounds(layout.rowUpper);
    const int columns = static_cast<int>(columnLower.size());
    solver.loadProblem(columns, static_cast<int>(rowLower.size()), matrix.starts.data(), matrix.rows.data(),
                       matrix.values.data(), columnLower.data(), columnUpper.data(), layout.objective.data(),
                       rowLower.data(), rowUpper.data());
}

// The relaxation's optimum of the column in one direction (1: least, -1: most); the infinity
// of that direction when there is none.
double extremeOf(OsiClpSolverInterface& solver, double sense)
{
    solver.setObjSense(sense);
    solver.initialSolve();
    if (!solver.isProvenOptimal())
        return sense > 0 ? -HUGE_VAL : HUGE_VAL;
    return solver.getObjValue();
}

}  // namespace

void loadCbcProblem(const LpModel& model, const LinearLayout& layout, OsiClpSolverInterface& solver)
{
    loadLayout(layout, solver);
    for (std::size_t j = 0; j < layout.integer.size(); ++j)
        if (layout.integer[j])
            solver.setInteger(static_cast<int>(j));
    solver.setObjSense(layout.maximize ? -1.0 : 1.0);
    nameModelParts(model, solver);
}

bool clpRelaxationBounds(const LinearLayout& layout, std::size_t column, double& lower, double& upper)
{
    OsiClpSolverInterface solver;
    solver.messageHandler()->setLogLevel(0);
    loadLayout(layout, solver);
    for (int j = 0; j < solver.getNumCols(); ++j)
        solver.setObjCoeff(j, static_cast<std::size_t>(j) == column ? 1.0 : 0.0);
    lower = extremeOf(solver, 1.0);
    upper = extremeOf(solver, -1.0);
    return true;
}
