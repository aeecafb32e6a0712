/*
** gradient_hessian.prg
** Numerical gradient and Hessian of a known function, checked against the
** analytic derivatives: by the library numderiv.src and by gradp/hessp.
*/
new;
#include numderiv.src

/* f(x) = x1^2 * x2 + exp(x2) + sin(x1 * x3) */
proc fun(x);
    retp(x[1]^2 * x[2] + exp(x[2]) + sin(x[1] * x[3]));
endp;

proc truegrad(x);
    local g;
    g = zeros(1, 3);
    g[1] = 2*x[1]*x[2] + x[3]*cos(x[1]*x[3]);
    g[2] = x[1]^2 + exp(x[2]);
    g[3] = x[1]*cos(x[1]*x[3]);
    retp(g);
endp;

proc truehess(x);
    local h, s;
    s = sin(x[1]*x[3]);
    h = zeros(3, 3);
    h[1,1] = 2*x[2] - x[3]^2*s;
    h[1,2] = 2*x[1];
    h[1,3] = cos(x[1]*x[3]) - x[1]*x[3]*s;
    h[2,2] = exp(x[2]);
    h[3,3] = -x[1]^2*s;
    h[2,1] = h[1,2];
    h[3,1] = h[1,3];
    retp(h);
endp;

let x0 = 0.7 -0.3 1.9;

g1 = numgrad(&fun, x0);
g2 = gradp(&fun, x0);
gtrue = truegrad(x0);
h1 = numhess(&fun, x0);
h2 = hessp(&fun, x0);
ht = truehess(x0);

print "analytic gradient:";
print gtrue;
print "library gradient within 1e-8:  " (maxc(abs(g1 - gtrue)') < 1e-8);
print "gradp gradient within 1e-8:    " (maxc(abs(g2 - gtrue)') < 1e-8);
print "library Hessian within 1e-5:   " (maxc(maxc(abs(h1 - ht))) < 1e-5);
print "hessp Hessian within 1e-5:     " (maxc(maxc(abs(h2 - ht))) < 1e-5);
print "Hessian symmetric:             " (h1 == h1');
