// kalman_filter.prg - the Kalman filter of the local level model
//   y[t] = mu[t] + e[t],  mu[t] = mu[t-1] + w[t]
// with signal-to-noise ratio q: the gain converges to the known steady
// state  k = (-q + sqrt(q^2 + 4q)) / 2 ... / p form below.

proc (2) = kfilter(y, q);
    local n, a, p, k, gains, level, t;
    n = rows(y);
    a = y[1];
    p = 1e7;                 // a diffuse start
    gains = zeros(n, 1);
    level = zeros(n, 1);
    for t(1, n, 1);
        p = p + q;
        k = p / (p + 1);
        a = a + k * (y[t] - a);
        p = (1 - k) * p;
        gains[t] = k;
        level[t] = a;
    endfor;
    retp(level, gains);
endp;

q = 0.5;
rndseed 99;
mu = cumsumc(sqrt(q) * rndn(300, 1));
y = mu + rndn(300, 1);
{ level, gains } = kfilter(y, q);

pbar = (q + sqrt(q^2 + 4*q)) / 2;          // steady-state prior variance
kbar = pbar / (pbar + 1);
? "steady-state gain reached: " abs(gains[300] - kbar) < 1e-12;
? "gain:                      " ftos(kbar, "%*.*lf", 8, 6);
? "filter closer to the level than the data: " meanc((level - mu).^2) < meanc((y - mu).^2);
// a constant series is reproduced once the filter has settled
{ level, gains } = kfilter(ones(50, 1) * 4, q);
? "constant series: " maxc(abs(level - 4)) < 1e-12;
