* LAZYCONS and USERCUTS rows are rows of the model; a valid cut changes no optimum.
*   min x + y  s.t. x + 2 y >= 4 (lazy), 2 x + y >= 4, x + y >= 1 (cut)  ->  x = y = 4/3: 8/3
NAME          LAZY
ROWS
 N  OBJ
 G  R1
LAZYCONS
 G  R2
USERCUTS
 G  R3
COLUMNS
    X         OBJ                1.0   R1                 2.0
    X         R2                 1.0   R3                 1.0
    Y         OBJ                1.0   R1                 1.0
    Y         R2                 2.0   R3                 1.0
RHS
    RHS       R1                 4.0   R2                 4.0
    RHS       R3                 1.0
ENDATA
