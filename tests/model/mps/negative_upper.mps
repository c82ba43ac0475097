* A negative UP on a column whose lower bound is 0: SCIP 9 sets the upper bound and
* keeps the lower bound of 0, so the bounds cross and the model is infeasible.
NAME          NEGUP
ROWS
 N  OBJ
 L  ROW
COLUMNS
    X         OBJ                1.0   ROW                1.0
RHS
    RHS       ROW               10.0
BOUNDS
 UP BND       X                 -1.0
ENDATA
