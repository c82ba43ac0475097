\ An LP file under an MPS name: no NAME line.
Minimize
 obj: x
Subject To
 c1: x >= 1
End
