* A quadratic constraint after BOUNDS: refused.
NAME          QC
ROWS
 N  OBJ
 L  Q1
COLUMNS
    X         OBJ                1.0   Q1                 1.0
RHS
    RHS       Q1                 4.0
BOUNDS
 UP BND       X                  1.0
QCMATRIX   Q1
    X         X                  1.0
ENDATA
