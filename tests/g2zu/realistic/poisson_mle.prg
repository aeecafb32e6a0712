/*
** poisson_mle.prg - maximum likelihood for a Poisson regression by
** Newton-Raphson with analytic derivatives, checked against the
** numerical gradient and the first-order conditions.
*/
let x[10,2] = 1 0.0  1 0.5  1 1.0  1 1.5  1 2.0
              1 2.5  1 3.0  1 3.5  1 4.0  1 4.5;
let y = 1 1 2 2 3 5 6 9 13 18;

proc loglik(b);
    local mu;
    mu = exp(x*b);
    retp(sumc(y .* (x*b) - mu - lnfact(y)));
endp;

proc (2) = poisson(y, x);
    local b, mu, g, h, it, step;
    b = zeros(cols(x), 1);
    it = 0;
    do while it < 50;
        it = it + 1;
        mu = exp(x*b);
        g = x'(y - mu);
        h = -x'(x .* mu);
        step = -inv(h) * g;
        b = b + step;
        if maxc(abs(step)) < 1e-12;
            break;
        endif;
    endo;
    retp(b, it);
endp;

{ b, iters } = poisson(y, x);
print "estimates: " ftos(b[1], "%*.*lf", 10, 6) ftos(b[2], "%*.*lf", 10, 6);
print "score zero at the estimate:   " (maxc(abs(x'(y - exp(x*b)))) < 1e-9);
print "numerical gradient agrees:    " (maxc(abs(gradp(&loglik, b)')) < 1e-5);
print "Hessian negative definite:    " (maxc(eigh(hessp(&loglik, b))) < 0);
print "converged in under 20 steps:  " (iters < 20);
/* the fitted total equals the observed total (a constant is included) */
print "fitted total matches:         " (abs(sumc(exp(x*b)) - sumc(y)) < 1e-9);
