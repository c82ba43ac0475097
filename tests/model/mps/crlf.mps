* CR LF line ends: a file written on Windows.
*   max x + y  s.t. x + 2 y <= 4, x <= 3 -> x 3, y 0.5: 3.5
NAME crlf
OBJSENSE
    MAX
ROWS
 N obj
 L c1
 L c2
COLUMNS
 x obj 1 c1 1
 x c2 1
 y obj 1 c1 2
RHS
 rhs c1 4 c2 3
ENDATA
