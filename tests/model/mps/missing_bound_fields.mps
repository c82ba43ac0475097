* Bound lines with a field left out, as SCIP guesses them: "UP X 4" has no vector name
* (the value is all digits: SCIP inserts "_BND_"), "FR Y" likewise; "MI Z" too.
*   min -x + y + z  s.t.  y >= -3, z >= -1  ->  -4 - 3 - 1 = -8
NAME MISSING
ROWS
 N OBJ
 G RY
 G RZ
COLUMNS
 X OBJ -1
 Y OBJ 1 RY 1
 Z OBJ 1 RZ 1
RHS
 RHS RY -3 RZ -1
BOUNDS
 UP X 4
 FR Y
 MI Z
ENDATA
