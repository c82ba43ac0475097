* Problem:
* Class:      LP
* Rows:       2
* Columns:    2
* Non-zeros:  4
* Format:     Free MPS
*
NAME
ROWS
 N R0000000
 L most
 G least
COLUMNS
 x R0000000 1 most 1
 x least 1
 y R0000000 1 most 1
 y least 1
RHS
 RHS1 most 2 least 5
ENDATA
