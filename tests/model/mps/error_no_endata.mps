* The file stops before ENDATA: a syntax error at its last line (line 9).
NAME          CUT
ROWS
 N  OBJ
 G  R1
COLUMNS
    X         OBJ                1.0   R1                 1.0
RHS
    RHS       R1                 1.0
