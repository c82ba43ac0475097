* A quadratic objective: refused, as quadratic LP terms are.
NAME          QUAD
ROWS
 N  OBJ
 G  R1
COLUMNS
    X         OBJ                1.0   R1                 1.0
RHS
    RHS       R1                 1.0
QUADOBJ
    X         X                  2.0
ENDATA
