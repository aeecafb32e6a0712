x = eigv(1);
print x % 2;
