* RANGES by row sense and sign (R is the range, b the right-hand side):
*   G: [b, b + |R|]   L: [b - |R|, b]   E, R > 0: [b, b + R]   E, R < 0: [b + R, b]
* max x + y + z + w with each variable in one row:
*   G: 2 <= x <= 2 + 3 = 5      L: 8 - |-2| = 6 <= y <= 8 (max: 8)
*   E+: 1 <= z <= 1 + 4 = 5     E-: 7 - 2 = 5 <= w <= 7
*   -> 5 + 8 + 5 + 7 = 25; and as min (negated objective row N2 not used)
NAME          RANGES
OBJSENSE
    MAX
ROWS
 N  OBJ
 G  RG
 L  RL
 E  REP
 E  REN
COLUMNS
    X         OBJ                1.0   RG                 1.0
    Y         OBJ                1.0   RL                 1.0
    Z         OBJ                1.0   REP                1.0
    W         OBJ                1.0   REN                1.0
RHS
    RHS       RG                 2.0   RL                 8.0
    RHS       REP                1.0   REN                7.0
RANGES
    RNG       RG                 3.0   RL                -2.0
    RNG       REP                4.0   REN               -2.0
ENDATA
