// qnewton_rosenbrock.prg - BFGS on the Rosenbrock function and on a
// quadratic with a known minimum.
#include optlib.src

proc (1) = rosen(x);
    retp(100 * (x[2] - x[1]^2)^2 + (1 - x[1])^2);
endp;

// 1/2 x'Ax - b'x has its minimum at A^-1 b
proc (1) = quad(x);
    local a, b;
    a = { 4 1 0, 1 3 1, 0 1 2 };
    b = { 1, 2, 3 };
    retp(0.5 * x'a*x - b'x);
endp;

{ xmin, fmin, iter } = qnewton(&rosen, -1.2 | 1);
print "Rosenbrock minimiser: " ftos(xmin[1], "%*.*lf", 10, 6) ftos(xmin[2], "%*.*lf", 10, 6);
print "within 1e-5 of (1, 1): " (maxc(abs(xmin - 1)) < 1e-5);
print "value below 1e-10:     " (fmin < 1e-10);

_opt_gtol = 1e-9;
{ xq, fq, iter } = qnewton(&quad, zeros(3, 1));
xtrue = inv({ 4 1 0, 1 3 1, 0 1 2 }) * (1|2|3);
print "quadratic minimiser within 1e-7: " (maxc(abs(xq - xtrue)) < 1e-7);
print "quadratic solved in at most 20 iterations: " (iter <= 20);
