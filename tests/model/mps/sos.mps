* SOS sets: S1 {x, y, z}: at most one non-zero; S2 {a, b, c}: at most two, adjacent.
*   max 2 x + 3 y + z + a + 2 b + 3 c   with every variable in [0, 2]
*   S1 -> y = 2: 6;  S2 -> b, c = 2: 4 + 6 = 10  ->  16
NAME          SOS
OBJSENSE
    MAX
ROWS
 N  OBJ
 L  CAP
COLUMNS
    X         OBJ                2.0   CAP                1.0
    Y         OBJ                3.0   CAP                1.0
    Z         OBJ                1.0   CAP                1.0
    A         OBJ                1.0   CAP                1.0
    B         OBJ                2.0   CAP                1.0
    C         OBJ                3.0   CAP                1.0
RHS
    RHS       CAP              100.0
BOUNDS
 UP BND       X                  2.0
 UP BND       Y                  2.0
 UP BND       Z                  2.0
 UP BND       A                  2.0
 UP BND       B                  2.0
 UP BND       C                  2.0
SOS
 S1 SOS       s1             1
    X                 1
    Y                 2
    Z                 3
 S2 SOS       s2             2
    A                 1
    B                 2
    C                 3
ENDATA
