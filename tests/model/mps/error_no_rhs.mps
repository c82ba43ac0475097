* SCIP 9 takes only RHS after COLUMNS: BOUNDS there is a syntax error (line 8).
NAME          NORHS
ROWS
 N  OBJ
 G  R1
COLUMNS
    X         OBJ                1.0   R1                 1.0
BOUNDS
 UP BND       X                  4.0
ENDATA
