/*
** adf_test.prg - unit-root tests on simulated series: a stationary AR(1)
** is rejected, a random walk is not.
*/
#include unitroot.src

rndseed 4711;
n = 400;
e = rndn(n, 1);
ar = recserar(e, e[1], 0.5);        @ y[t] = 0.5 y[t-1] + e[t] @
rw = cumsumc(e);                    @ a random walk @

{ tar, bar } = adf(ar, 2);
{ trw, brw } = adf(rw, 2);

print "AR(1) rejected at 5%:      " (tar < adfcrit);
print "random walk not rejected:  " (trw > adfcrit);
print "AR coefficient near -0.5:  " (abs(bar + 0.5) < 0.15);
print "walk coefficient near 0:   " (abs(brw) < 0.05);

/* the recursion by hand agrees with recserar */
y = zeros(n, 1);
y[1] = e[1];
t = 2;
do until t > n;
    y[t] = 0.5 * y[t-1] + e[t];
    t = t + 1;
endo;
print "recserar agrees with the loop: " (maxc(abs(y - ar)) < 1e-12);
