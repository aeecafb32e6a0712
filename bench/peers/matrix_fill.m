% (c) set every element of a 1000 by 1000 matrix by index, then sum it
t0 = cputime; m = zeros(1000, 1000);
for i = 1:1000, for j = 1:1000, m(i, j) = i + j - 2; end, end
s = 0; for i = 1:1000, for j = 1:1000, s = s + m(i, j); end, end
printf("%g\n", cputime - t0);
