* The same ranges, minimised: each variable at the low end of its row.
*   G: x >= 2   L: y >= 8 - 2 = 6   E+: z >= 1   E-: w >= 7 - 2 = 5  ->  14
NAME          RANGESMIN
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
