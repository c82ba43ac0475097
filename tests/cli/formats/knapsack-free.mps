* Problem:
* Class:      MIP
* Rows:       1
* Columns:    6 (6 integer, 6 binary)
* Non-zeros:  6
* Format:     Free MPS
* OBJSENSE added by hand: glpsol writes no objective sense.
*
NAME
OBJSENSE
    MAX
ROWS
 N R0000000
 L peso
COLUMNS
 M0000001 'MARKER' 'INTORG'
 mapa R0000000 10 peso 2
 lanterna R0000000 13 peso 5
 corda R0000000 7 peso 3
 fogareiro R0000000 8 peso 4
 livro R0000000 4 peso 1
 barraca R0000000 9 peso 7
 M0000002 'MARKER' 'INTEND'
RHS
 RHS1 peso 15
BOUNDS
 UP BND1 mapa 1
 UP BND1 lanterna 1
 UP BND1 corda 1
 UP BND1 fogareiro 1
 UP BND1 livro 1
 UP BND1 barraca 1
ENDATA
