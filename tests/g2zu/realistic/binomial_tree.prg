/*
** binomial_tree.prg - a European call by the Cox-Ross-Rubinstein tree,
** converging to the Black-Scholes price.
*/
proc bscall(s, k, r, sig, t);
    local d1, d2;
    d1 = (ln(s / k) + (r + sig^2 / 2) * t) / (sig * sqrt(t));
    d2 = d1 - sig * sqrt(t);
    retp(s * cdfn(d1) - k * exp(-r * t) * cdfn(d2));
endp;

proc crrcall(s, k, r, sig, t, n);
    local dt, u, d, p, j, v;
    dt = t / n;
    u = exp(sig * sqrt(dt));
    d = 1 / u;
    p = (exp(r * dt) - d) / (u - d);
    j = seqa(0, 1, n + 1);
    v = maxc(((s * u.^j .* d.^(n - j)) - k)' | zeros(1, n + 1));
    for i (n, 1, -1);
        v = exp(-r * dt) * (p * v[2:i+1] + (1 - p) * v[1:i]);
    endfor;
    retp(v);
endp;

bs = bscall(100, 95, 0.05, 0.2, 0.5);
print "Black-Scholes: " ftos(bs, "%*.*lf", 10, 5);
print "tree with 500 steps within 0.01: " (abs(crrcall(100, 95, 0.05, 0.2, 0.5, 500) - bs) < 0.01);
e50 = abs(crrcall(100, 95, 0.05, 0.2, 0.5, 50) - bs);
e400 = abs(crrcall(100, 95, 0.05, 0.2, 0.5, 400) - bs);
print "error falls with more steps:     " (e400 < e50);
/* put-call parity for the Black-Scholes prices */
put = bs - 100 + 95 * exp(-0.05 * 0.5);
print "put price:     " ftos(put, "%*.*lf", 10, 5);
