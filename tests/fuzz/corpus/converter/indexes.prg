/* Indexes: "." for a whole row or column, blank-separated lists of numbers */
x = zeros(4, 4);
i = 2;
a = x[., 1];
b = x[1, .];
c = x[1 2, 3];
d = x[1 2 3];
e = x[i-1, i + 1];
f = x[i -1, 2];
g = x[x[1, 2], .];
x[2, 3] = 5;
x[., 4] = ones(4, 1);
print x[1 2, .];
