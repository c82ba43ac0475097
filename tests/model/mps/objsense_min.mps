* OBJSENSE MIN, then OBJNAME: the objective is the second N row, the first is a free row
* that SCIP drops.
*   min x + y  s.t. x + y >= 2 (cost: ignored 10 x - 10 y)  ->  2
NAME SENSE3
OBJSENSE
    MIN
OBJNAME
    COST
ROWS
 N  FREE
 N  COST
 G  C1
COLUMNS
 X FREE 10 COST 1
 X C1 1
 Y FREE -10 COST 1
 Y C1 1
RHS
 RHS C1 2
ENDATA
