* Fixed layout: names with blanks inside a field (SCIP patches them with '_'),
* a '$' comment in column 40, and comment lines.
*   min  x y + 2 z   s.t.  x y + z >= 4,  x y <= 3   ->  x y = 3, z = 1: 5
NAME          FIXED
ROWS
 N  COST
 G  LIM 1
 L  CAP
COLUMNS
    X Y       COST               1.0   LIM 1              1.0
    X Y       CAP                1.0
    Z         COST               2.0   $ the rest is a comment
    Z         LIM 1              1.0
RHS
    RHS       LIM 1              4.0   CAP                3.0
ENDATA
