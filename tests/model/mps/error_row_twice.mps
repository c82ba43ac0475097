* A row named twice (line 6).
NAME          TWICE
ROWS
 N  OBJ
 G  R1
 L  R1
COLUMNS
    X         OBJ                1.0   R1                 1.0
RHS
    RHS       R1                 1.0
ENDATA
