* Every bound type on a continuous column:
*   UP a 4   LO b 2 (b >= 2)   FX c 3   FR d (free)   MI e (e <= 0 is NOT implied: SCIP's
*   MI leaves the upper bound, here UP e 1 after it)   PL f (no upper bound)
*   min -a + b + c + d + e + f  s.t.  d >= -5, e >= -2, f >= 1 (rows)
*   -> -4 + 2 + 3 - 5 - 2 + 1 = -5
NAME          BOUNDS
ROWS
 N  OBJ
 G  RD
 G  RE
 G  RF
COLUMNS
    A         OBJ               -1.0
    B         OBJ                1.0
    C         OBJ                1.0
    D         OBJ                1.0   RD                 1.0
    E         OBJ                1.0   RE                 1.0
    F         OBJ                1.0   RF                 1.0
RHS
    RHS       RD                -5.0   RE                -2.0
    RHS       RF                 1.0
BOUNDS
 UP BND       A                  4.0
 LO BND       B                  2.0
 FX BND       C                  3.0
 FR BND       D
 MI BND       E
 UP BND       E                  1.0
 PL BND       F
 UP OTHER     F                  0.5
ENDATA
