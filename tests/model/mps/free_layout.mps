* Free layout: long names, tabs, many blanks, and CR LF line ends would all be
* refused by the fixed columns; SCIP switches to free layout at the first such line.
*   min  amount_of_steel + 3 amount_of_wood  s.t. amount_of_steel + amount_of_wood >= 10,
*        amount_of_steel <= 6   ->  steel 6, wood 4: 6 + 12 = 18
NAME free_layout_example
ROWS
 N total_cost
 G demand_constraint
 L steel_capacity
COLUMNS
 amount_of_steel	total_cost 1 demand_constraint 1
 amount_of_steel steel_capacity 1
   amount_of_wood     total_cost     3     demand_constraint    1
RHS
 rhs demand_constraint 10 steel_capacity 6
ENDATA
