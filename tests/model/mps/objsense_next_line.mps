* OBJSENSE with the sense on the next line (CPLEX's layout), MAXIMIZE spelled out.
*   max 3 x + 2 y  s.t. x + y <= 4, x + 3 y <= 6, x <= 3  ->  x 3, y 1: 11
NAME          SENSE1
OBJSENSE
    MAXIMIZE
ROWS
 N  PROFIT
 L  C1
 L  C2
 L  C3
COLUMNS
    X         PROFIT             3.0   C1                 1.0
    X         C2                 1.0   C3                 1.0
    Y         PROFIT             2.0   C1                 1.0
    Y         C2                 3.0
RHS
    RHS       C1                 4.0   C2                 6.0
    RHS       C3                 3.0
ENDATA
