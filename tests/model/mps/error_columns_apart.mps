* The entries of column X do not follow each other (line 9).
NAME          APART
ROWS
 N  OBJ
 G  R1
COLUMNS
    X         OBJ                1.0
    Y         OBJ                1.0   R1                 1.0
    X         R1                 1.0
RHS
    RHS       R1                 1.0
ENDATA
