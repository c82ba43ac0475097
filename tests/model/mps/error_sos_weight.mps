* A set member without a weight (line 14).
NAME          SOSW
ROWS
 N  OBJ
 L  R1
COLUMNS
    X         OBJ                1.0   R1                 1.0
    Y         OBJ                1.0   R1                 1.0
RHS
    RHS       R1                 1.0
SOS
 S1 SOS       s1
    X                 1
    Y
ENDATA
