// print_layout.prg - how printed lines end: ";;" keeps the line open,
// an empty print ends it, ? is print.
a = 1.5;
b = -2;
print "a and b on one line: ";;
print a;;
print " and ";;
print b;
?;
? "a blank line came before this one";
print "sum " a + b;
print "product " (a * b);
format /rd 8,3;
print "matrix:";
print (a ~ b) | (b ~ a);
