/* print items are separated by blanks in Gauss */
a = 1; b = 2; c = 3; s = "text";
print a b c;
print "a = " a;
print a -1;
print a - 1;
print "x" $s;
print /rd a;
print;
print (a+b);
print (a+b) c;
lprint a';
"hello";
3;
(a+b);
a;
print f(a, b) a[1, .];
