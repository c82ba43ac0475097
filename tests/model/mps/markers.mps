* Integer markers: a marked column without bounds is binary (b, c); UP 1 keeps it
* binary (c); a larger UP makes it integer with a lower bound of 0 (n); LO makes it
* integer with no upper bound (m); columns after INTEND are continuous (x).
*   max 5 b + 4 c + n - m + x  s.t.  b + c + n <= 9.5, x - m <= 0.5, x <= 2.5
*   -> b 1, c 1, n 7 (integer: 9.5 - 2 -> 7), m 2 (x <= m + 0.5 with x 2.5), x 2.5
*   objective 5 + 4 + 7 - 2 + 2.5 = 16.5
NAME          MARKERS
OBJSENSE
    MAX
ROWS
 N  OBJ
 L  R1
 L  R2
 L  R3
COLUMNS
    MARK0000  'MARKER'                 'INTORG'
    B         OBJ                5.0   R1                 1.0
    C         OBJ                4.0   R1                 1.0
    N         OBJ                1.0   R1                 1.0
    M         OBJ               -1.0   R2                -1.0
    MARK0001  'MARKER'                 'INTEND'
    X         OBJ                1.0   R2                 1.0
    X         R3                 1.0
RHS
    RHS       R1                 9.5   R2                 0.5
    RHS       R3                 2.5
BOUNDS
 UP BND       C                  1.0
 UP BND       N                100.0
 LO BND       M                  1.0
ENDATA
