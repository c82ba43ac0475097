* BV makes a column binary; LI and UI make it integer with those bounds; a column that
* first appears in BOUNDS is a new continuous column.
*   max x + y + z + w  s.t.  x + y + z + w <= 20.5 (row)
*   x: BV -> 1;  y: LI 2, UI 5.5 -> integer, at most 5;  z: UI 3 -> integer in [0, 3];
*   w: only in BOUNDS, UP 0.25, continuous, not in the row, no objective -> 0
*   -> 1 + 5 + 3 = 9
NAME          BOUNDSINT
OBJSENSE
    MAX
ROWS
 N  OBJ
 L  ROW
COLUMNS
    X         OBJ                1.0   ROW                1.0
    Y         OBJ                1.0   ROW                1.0
    Z         OBJ                1.0   ROW                1.0
RHS
    RHS       ROW               20.5
BOUNDS
 BV BND       X
 LI BND       Y                  2.0
 UI BND       Y                  5.5
 UI BND       Z                  3.0
 UP BND       W                 0.25
ENDATA
