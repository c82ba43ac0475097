* SC: x = 0 or lower <= x <= upper. With a lower bound of 2 (LO before SC) and SC 6;
* with no lower bound SCIP takes 1 (y: SC 5).
*   min x + y  s.t.  x + y >= 1.5  ->  x = 0, y = 1.5: 1.5
*   and x + y >= 0.5 forces y (cheapest) to 1, not 0.5 (row R2 with y only: y >= 0.5)
*   -> x = 0, y = 1.5 still: 1.5
NAME          SEMICONT
ROWS
 N  OBJ
 G  R1
 G  R2
COLUMNS
    X         OBJ                1.0   R1                 1.0
    Y         OBJ                1.0   R1                 1.0
    Y         R2                 1.0
RHS
    RHS       R1                 1.5   R2                 0.5
BOUNDS
 LO BND       X                  2.0
 SC BND       X                  6.0
 SC BND       Y                  5.0
ENDATA
