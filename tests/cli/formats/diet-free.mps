* Problem:
* Class:      LP
* Rows:       2
* Columns:    3
* Non-zeros:  6
* Format:     Free MPS
*
NAME
ROWS
 N R0000000
 G protein
 G fibre
COLUMNS
 x1 R0000000 3 protein 2
 x1 fibre 4
 x2 R0000000 5 protein 1
 x2 fibre 3
 x3 R0000000 6 protein 4
 x3 fibre 2
RHS
 RHS1 protein 9 fibre 9
ENDATA
