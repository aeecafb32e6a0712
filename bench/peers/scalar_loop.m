% (a) s += i * 0.5 for i up to 10^7
t0 = cputime; s = 0; for i = 0:9999999, s = s + i * 0.5; end; printf("%g\n", cputime - t0);
