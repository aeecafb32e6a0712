x = { 1, 2, 3 };
y = selif(x, x .> 5);
print scalmiss(y);
z = delif(x, x .> 0);
print scalmiss(z);
