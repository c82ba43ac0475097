* Problem:
* Class:      MIP
* Rows:       5
* Columns:    5 (2 integer, 1 binary)
* Non-zeros:  11
* Format:     Free MPS
*
NAME
ROWS
 N R0000000
 G demand
 L capacity
 G floor
 E balance
 L limit
COLUMNS
 make R0000000 2 demand 1
 make capacity 1 floor 1
 make balance 1
 buy R0000000 3 demand 1
 buy limit 1
 stock R0000000 -1.5 balance -1
 M0000001 'MARKER' 'INTORG'
 open R0000000 4 capacity -6
 open floor -6
 shift R0000000 0.5 balance 1
 shift limit 2
 M0000002 'MARKER' 'INTEND'
RHS
 RHS1 demand 12.5 capacity 2
 RHS1 floor -4 balance 3
 RHS1 limit 9
BOUNDS
 UP BND1 make 20
 UP BND1 buy 8
 LO BND1 stock -5
 UP BND1 stock 4
 UP BND1 open 1
 LO BND1 shift -3
 PL BND1 shift
ENDATA
