a = 3;
b = 3.8;
print a;
print b;
