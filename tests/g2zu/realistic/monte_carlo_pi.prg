@ monte_carlo_pi.prg - pi by hit or miss with a generator of our own,
  the multiplicative congruential generator of Park and Miller, so that
  the answer does not depend on the system's random numbers @

declare matrix seed = 12345;

proc unif(n);
    local u, i;
    u = zeros(n, 1);
    i = 1;
    do while i <= n;
        seed = 16807 * seed;
        seed = seed - 2147483647 * floor(seed / 2147483647);
        u[i] = seed / 2147483647;
        i = i + 1;
    endo;
    retp(u);
endp;

n = 20000;
x = unif(n);
y = unif(n);
hits = sumc((x.^2 + y.^2) .<= 1);
est = 4 * hits / n;
se = 4 * sqrt(hits / n * (1 - hits / n) / n);
print "estimate within 3 standard errors of pi: " (abs(est - pi) < 3 * se);
print "standard error below 0.012:             " (se < 0.012);
print "the 10000th draw of the sequence:";
print ftos(y[n/2], "%*.*lf", 12, 10);
