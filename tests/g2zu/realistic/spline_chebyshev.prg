/*
** spline_chebyshev.prg - interpolation errors of known functions
*/
#include interp.src

proc runge(x); retp(1 ./ (1 + 25 * x.^2)); endp;
proc expf(x);  retp(exp(x)); endp;

x = seqa(0, 0.25, 17);          @ 0, 0.25, ..., 4 @
y = sin(x);
m = splinesetup(x, y);
t = seqa(0.1, 0.3, 13);
s = splineval(x, y, m, t);
print "spline of sin: largest error below 1e-3: " (maxc(abs(s - sin(t))) < 1e-3);
print "spline reproduces the nodes:           " (maxc(abs(splineval(x, y, m, x) - y)) < 1e-12);

c = chebcoef(&expf, 14);
t = seqa(-1, 0.1, 21);
print "Chebyshev exp: largest error below 1e-13: " (maxc(abs(chebeval(c, t) - exp(t))) < 1e-13);
c = chebcoef(&runge, 40);
print "Chebyshev Runge: largest error below 1e-3:  " (maxc(abs(chebeval(c, t) - runge(t))) < 1e-3);
print "first coefficients of exp:";
c = chebcoef(&expf, 14);
print ftos(c[1], "%*.*lf", 12, 8) ftos(c[2], "%*.*lf", 12, 8) ftos(c[3], "%*.*lf", 12, 8);
