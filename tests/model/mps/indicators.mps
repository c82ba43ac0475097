* INDICATORS: IF row binary [value]. The row holds only when the binary takes the value
* (1 when none is given); an equality row gives two indicator constraints. The engine
* needs finite bounds for them (y, z <= 100).
*   min x + y + z + 10 b1 + 10 b2 + 10 b3
*   R1: x >= 5 if b1 = 1;  R2: y <= -1 ... (y >= 0) so b2 = 1 is impossible: R2 if b2 = 1
*   R3: z = 4 if b3 = 0 (active on 0);  COVER: b1 + b2 >= 1 (a plain row)
*   -> b1 = 1 (x = 5), b2 = 0, b3 = 1 (z free at 0): 5 + 10 + 10 = 25
*      or b3 = 0: z = 4: 5 + 10 + 4 = 19  ->  19
NAME          INDIC
ROWS
 N  OBJ
 G  R1
 L  R2
 E  R3
 G  COVER
COLUMNS
    X         OBJ                1.0   R1                 1.0
    Y         OBJ                1.0   R2                 1.0
    Z         OBJ                1.0   R3                 1.0
    MARKER    'MARKER'                 'INTORG'
    B1        OBJ               10.0   COVER              1.0
    B2        OBJ               10.0   COVER              1.0
    B3        OBJ               10.0
    MARKER    'MARKER'                 'INTEND'
RHS
    RHS       R1                 5.0   R2                -1.0
    RHS       R3                 4.0   COVER              1.0
BOUNDS
 UP BND       Y                100.0
 UP BND       Z                100.0
INDICATORS
 IF R1        B1
 IF R2        B2             1
 IF R3        B3             0
ENDATA
