% (b) recursive fib(27)
1;
function r = fib(n)
  if n < 2, r = n; else r = fib(n - 1) + fib(n - 2); end
end
t0 = cputime; fib(27); printf("%g\n", cputime - t0);
