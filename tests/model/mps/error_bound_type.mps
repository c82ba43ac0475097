* An unknown bound type (line 11).
NAME          BADBOUND
ROWS
 N  OBJ
 G  R1
COLUMNS
    X         OBJ                1.0   R1                 1.0
RHS
    RHS       R1                 1.0
BOUNDS
 XX BND       X                  4.0
ENDATA
