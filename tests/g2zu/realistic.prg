/*
** realistic.prg
**
** A small Monte Carlo study of least squares in a regression with
** autocorrelated errors: data are simulated, the model is estimated by
** OLS and by a feasible GLS step, and the results are summarised.
*/

new;
cls;
library pgraph;
output file = realistic.out reset;

/* ------------------------------------------------------------------ */
/* settings                                                            */
/* ------------------------------------------------------------------ */

nobs = 200;          @ observations in each sample @
nrep = 500;          @ Monte Carlo replications @
rho = 0.6;           @ AR(1) coefficient of the errors @
sigma = 1.5;
let beta = 1.0 0.5 -0.25;
k = rows(beta);
seed = 20240117.0;    @ state of the random number generator, a double @
crit = 1.959963984540054;   @ the 97.5% quantile of the standard normal @
declare string title = "OLS and FGLS under AR(1) errors";
declare matrix tol = 1e-8;

/* ------------------------------------------------------------------ */
/* procedures                                                          */
/* ------------------------------------------------------------------ */

/* uniform draws from the multiplicative congruential generator with
   multiplier 16807 and modulus 2^31 - 1; the products stay below 2^53,
   so the arithmetic in doubles is exact (the counters of for loops are
   not made local: each loop declares its own) */
proc unif(r, c);
    local u;
    u = zeros(r, c);
    for i (1, r, 1);
        for j (1, c, 1);
            seed = 16807 * seed;
            seed = seed - 2147483647 * floor(seed / 2147483647);
            u[i, j] = seed / 2147483647;
        endfor;
    endfor;
    retp(u);
endp;

/* standard normal draws by the Box-Muller transformation */
proc normal(r, c);
    local u1, u2;
    u1 = unif(r, c);
    u2 = unif(r, c);
    retp(sqrt(-2 * ln(u1)) .* cos(2 * pi * u2));
endp;

/* inverse of a symmetric positive definite matrix by Gauss-Jordan
   elimination on [a, I]; the pivots of such a matrix are positive */
proc invsym(a);
    local n, m;
    n = rows(a);
    m = a ~ eye(n);
    for i (1, n, 1);
        m[i, .] = m[i, .] / m[i, i];
        for j (1, n, 1);
            if j /= i;
                m[j, .] = m[j, .] - m[j, i] * m[i, .];
            endif;
        endfor;
    endfor;
    retp(m[., n+1:2*n]);
endp;

/* AR(1) errors: e[t] = rho*e[t-1] + u[t], started from the stationary
   distribution */
proc simerr(n, r, s);
    local e, u, t;
    u = s * normal(n, 1);
    e = zeros(n, 1);
    e[1] = u[1] / sqrt(1 - r^2);
    t = 2;
    do while t <= n;
        e[t] = r * e[t-1] + u[t];
        t = t + 1;
    endo;
    retp(e);
endp;

/* regressors: a constant, a trend and a random variable */
proc makex(n);
    local x, trend;
    trend = seqa(1, 1, n) / n;
    x = ones(n, 1) ~ trend ~ normal(n, 1);
    retp(x);
endp;

/* least squares: coefficients, standard errors and residual variance */
proc (3) = ols2(y, x);
    local xxi, b, e, s2, se, n, kk;
    n = rows(y);
    kk = cols(x);
    xxi = invsym(x'x);
    b = xxi * x'y;
    e = y - x * b;
    s2 = e'e / (n - kk);
    se = sqrt(diag(xxi) * s2);
    retp(b, se, s2);
endp;

/* first-order autocorrelation of a residual vector */
proc acf1(e);
    local n, num, den;
    n = rows(e);
    num = e[2:n]' * e[1:n-1];
    den = e'e;
    retp(num / den);
endp;

/* Prais-Winsten transformation for a given rho */
proc (2) = praisw(y, x, r);
    local n, ys, xs, c;
    n = rows(y);
    c = sqrt(1 - r^2);
    ys = (c * y[1]) | (y[2:n] - r * y[1:n-1]);
    xs = (c * x[1, .]) | (x[2:n, .] - r * x[1:n-1, .]);
    retp(ys, xs);
endp;

/* feasible GLS: OLS, estimate rho from the residuals, transform, OLS */
proc (3) = fgls(y, x);
    local b, se, s2, e, r, ys, xs;
    { b, se, s2 } = ols2(y, x);
    e = y - x * b;
    r = acf1(e);
    if abs(r) >= 1;
        r = 0.99 * r / abs(r);
    endif;
    { ys, xs } = praisw(y, x, r);
    { b, se, s2 } = ols2(ys, xs);
    retp(b, se, r);
endp;

/* share of t statistics beyond the critical value */
proc rejrate(t, crit);
    retp(meanc(abs(t) .> crit));
endp;

/* a table row with a label */
proc (0) = showrow(label, v);
    print label v';
endp;

fn sq(x) = x .* x;

/* ------------------------------------------------------------------ */
/* Monte Carlo                                                         */
/* ------------------------------------------------------------------ */

bols = zeros(nrep, k);
bgls = zeros(nrep, k);
tols = zeros(nrep, k);
tgls = zeros(nrep, k);
rhos = zeros(nrep, 1);
clamped = 0;

x = makex(nobs);

rep = 1;
do until rep > nrep;
    e = simerr(nobs, rho, sigma);
    y = x * beta + e;

    { b, se, s2 } = ols2(y, x);
    bols[rep, .] = b';
    tols[rep, .] = ((b - beta) ./ se)';

    { bg, seg, rg } = fgls(y, x);
    if abs(rg) >= 0.99;
        clamped = clamped + 1;
        rep = rep + 1;
        continue;
    endif;
    bgls[rep, .] = bg';
    tgls[rep, .] = ((bg - beta) ./ seg)';
    rhos[rep] = rg;

    if rep - 100 * floor(rep / 100) == 0;
        print "replication " rep;
    endif;
    rep = rep + 1;
endo;

/* ------------------------------------------------------------------ */
/* summaries                                                           */
/* ------------------------------------------------------------------ */

mols = meanc(bols);
mgls = meanc(bgls);
bias_ols = mols - beta;
bias_gls = mgls - beta;
rmse_ols = sqrt(meanc(sq(bols - beta')));
rmse_gls = sqrt(meanc(sq(bgls - beta')));
rej_ols = rejrate(tols, crit);
rej_gls = rejrate(tgls, crit);

format /rd 10,4;
print;
print title;
print "observations " nobs "  replications " nrep "  rho " rho;
print;
showrow("true      ", beta);
showrow("mean OLS  ", mols);
showrow("mean FGLS ", mgls);
showrow("bias OLS  ", bias_ols);
showrow("bias FGLS ", bias_gls);
showrow("rmse OLS  ", rmse_ols);
showrow("rmse FGLS ", rmse_gls);
print;
print "rejection rates of the 5% t test";
showrow("OLS       ", rej_ols);
showrow("FGLS      ", rej_gls);
print;
print "mean of the estimated rho: " meanc(rhos);
print "replications with rho at the bound: " clamped;

/* a histogram of the FGLS slope estimates in ten classes */
nclass = 10;
lo = minc(bgls[., 2]);
hi = maxc(bgls[., 2]);
width = (hi - lo) / nclass;
counts = zeros(nclass, 1);
i = 1;
do while i <= nrep;
    j = floor((bgls[i, 2] - lo) / width) + 1;
    if j > nclass;
        j = nclass;
    endif;
    counts[j] = counts[j] + 1;
    i = i + 1;
endo;

print;
print "distribution of the FGLS slope";
for c (1, nclass, 1);
    mid = lo + (c - 0.5) * width;
    bar = "";
    for s (1, counts[c] / 5, 1);
        bar = bar $+ "*";
    endfor;
    print mid counts[c] bar;
endfor;

/* quantiles of the t statistics */
let probs = 0.05 0.25 0.5 0.75 0.95;
qs = zeros(rows(probs), 2);
sorted = sortc(tgls[., 2], 1);
for q (1, rows(probs), 1);
    idx = ceil(probs[q] * nrep);
    qs[q, 1] = probs[q];
    qs[q, 2] = sorted[idx];
endfor;
print "quantiles of the FGLS t statistic";
print qs;

/* sensitivity to rho: a short loop over a grid */
let grid[4,1] = 0 0.3 0.6 0.9;
res = zeros(rows(grid), 3);
g = 1;
do while g <= rows(grid);
    r = grid[g];
    acc = 0;
    for rr (1, 50, 1);
        e = simerr(nobs, r, sigma);
        y = x * beta + e;
        { b, se, s2 } = ols2(y, x);
        acc = acc + (abs((b[2] - beta[2]) / se[2]) > crit);
    endfor;
    res[g, .] = r ~ acc / 50 ~ acf1(e);
    g = g + 1;
endo;
print "rho, OLS rejection rate, last residual autocorrelation";
print res;

/* keep the results */
save bols, bgls;
results = mols ~ mgls ~ rmse_ols ~ rmse_gls;
print "largest absolute FGLS t statistic " maxc(abs(vec(tgls)));
if clamped > nrep / 10;
    errorlog "the estimated rho was clamped in more than a tenth of the samples";
endif;

output off;
end;
