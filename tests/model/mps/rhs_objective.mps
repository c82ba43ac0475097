* A right-hand side on the objective row is minus the objective's constant; a RHS line
* without a vector name (SCIP assumes "_RHS_"); entries of a second RHS vector are ignored.
*   min x + y - (-7.5)  s.t. x + y >= 3 (OTHER's 100 ignored)  ->  3 + 7.5 = 10.5
NAME          RHSOBJ
ROWS
 N  OBJ
 G  R1
COLUMNS
    X         OBJ                1.0   R1                 1.0
    Y         OBJ                1.0   R1                 1.0
RHS
    OBJ       -7.5
    R1        3
    OTHER     R1               100.0
ENDATA
