* "OBJSENSE MAX" on one line (Gurobi's layout).
*   max 3 x + 2 y  s.t. x + y <= 4, x + 3 y <= 6, x <= 3  ->  x 3, y 1: 11
NAME SENSE2
OBJSENSE MAX
ROWS
 N PROFIT
 L C1
 L C2
 L C3
COLUMNS
 X PROFIT 3 C1 1
 X C2 1 C3 1
 Y PROFIT 2 C1 1
 Y C2 3
RHS
 RHS C1 4 C2 6
 RHS C3 3
ENDATA
