/*
** GARCH_MLE.PRG
** Maximum likelihood for a GARCH(1,1) model on data simulated with known
** parameters, by the quasi-Newton routine of optlib.src.  The parameters
** are transformed so that the search is unconstrained.
*/
#include optlib.src

rndseed 31415;
n = 3000;
let ptrue = 0.1 0.1 0.8;            @ omega, alpha, beta @

proc simgarch(p, z);
    local n, h, e, t;
    n = rows(z);
    h = zeros(n, 1);
    e = zeros(n, 1);
    h[1] = p[1] / (1 - p[2] - p[3]);
    e[1] = sqrt(h[1]) * z[1];
    for t (2, n, 1);
        h[t] = p[1] + p[2] * e[t-1]^2 + p[3] * h[t-1];
        e[t] = sqrt(h[t]) * z[t];
    endfor;
    retp(e);
endp;

/* omega = exp(th1), alpha and beta from a logistic map of th2, th3 */
proc params(th);
    local a, b, s;
    a = exp(th[2]);
    b = exp(th[3]);
    s = 1 + a + b;
    retp(exp(th[1]) | a / s | b / s);
endp;

proc negloglik(th);
    local p, h, t, n, e;
    p = params(th);
    e = data;
    n = rows(e);
    h = zeros(n, 1);
    h[1] = meanc(e.^2);
    for t (2, n, 1);
        h[t] = p[1] + p[2] * e[t-1]^2 + p[3] * h[t-1];
    endfor;
    retp(0.5 * sumc(ln(h) + e.^2 ./ h) / n);
endp;

data = simgarch(ptrue, rndn(n, 1));
_opt_gtol = 1e-6;
{ th, f, iter } = qnewton(&negloglik, ln(0.2) | 0 | 1);
p = params(th);
print "estimates (omega alpha beta):";
print p';
print "alpha + beta below one:        " (p[2] + p[3] < 1);
print "each within 0.1 of the truth:  " (maxc(abs(p - ptrue)) < 0.1);
print "gradient small at the optimum: " (maxc(abs(gradp(&negloglik, th)')) < 1e-4);
