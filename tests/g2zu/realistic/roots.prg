/*
** roots.prg - roots of known equations by three methods
*/
#include rootlib.src

proc sq2(x);  retp(x^2 - 2);  endp;
proc dsq2(x); retp(2*x);      endp;
proc kepler(e);  retp(e - 0.5*sin(e) - 1);  endp;   @ Kepler's equation, M = 1 @
proc dkepler(e); retp(1 - 0.5*cos(e));  endp;

r1 = bisect(&sq2, 0, 2, 1e-12);
{ r2, steps } = newton(&sq2, &dsq2, 1, 1e-14, 50);
r3 = secant(&sq2, 1, 2, 1e-13);
print "sqrt(2) by bisection:  " ftos(r1, "%*.*lf", 16, 12);
print "sqrt(2) by Newton:     " ftos(r2, "%*.*lf", 16, 12);
print "sqrt(2) by secant:     " ftos(r3, "%*.*lf", 16, 12);
print "Newton converged in fewer than 8 steps: " (steps < 8);
print "all within 1e-11: " (abs(r1 - sqrt(2)) < 1e-11 and abs(r2 - sqrt(2)) < 1e-11 and abs(r3 - sqrt(2)) < 1e-11);

{ e, steps } = newton(&kepler, &dkepler, 1, 1e-14, 50);
print "eccentric anomaly:     " ftos(e, "%*.*lf", 16, 12);
print "residual below 1e-14:  " (abs(kepler(e)) < 1e-14);
print "bisection agrees:      " (abs(bisect(&kepler, 0, 3, 1e-12) - e) < 1e-11);
