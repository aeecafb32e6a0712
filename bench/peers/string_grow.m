% (e) a string grown by 10^5 concatenations
t0 = cputime; s = ""; for i = 1:100000, s = [s "x"]; end; printf("%g\n", cputime - t0);
