* A semi-continuous column without a lower bound starts at 1 for SCIP: y = 0 or
* 1 <= y <= 5. max -y s.t. y >= 0.25 -> y = 1: -1.
NAME          SCTHRESH
OBJSENSE
    MAX
ROWS
 N  OBJ
 G  R1
COLUMNS
    Y         OBJ               -1.0   R1                 1.0
RHS
    RHS       R1                0.25
BOUNDS
 SC BND       Y                  5.0
ENDATA
