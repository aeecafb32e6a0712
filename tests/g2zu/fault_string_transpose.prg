// A column of names made by let is a Zu array: its transpose keeps it,
// while a matrix is still transposed.
let codes = apl pea plu che;
print $codes';
x = { 1 2, 3 4 };
print x';
