% (d) 10^6 calls of a two-argument function
1;
function r = add(a, b)
  r = a + b;
end
t0 = cputime; s = 0; for i = 0:999999, s = add(s, i); end; printf("%g\n", cputime - t0);
