* The indicator's variable is continuous (line 12).
NAME          NOTBIN
ROWS
 N  OBJ
 G  R1
COLUMNS
    X         OBJ                1.0   R1                 1.0
    B         OBJ                1.0
RHS
    RHS       R1                 1.0
INDICATORS
 IF R1        B
ENDATA
