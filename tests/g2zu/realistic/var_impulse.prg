// var_impulse.prg - impulse responses of a VAR(1) by recursion and by
// matrix powers, and its stationarity from the eigenvalues.
a = { 0.5 0.1, 0.2 0.3 };
h = 12;

proc (1) = impulse(a, h);
    local r, i;
    r = zeros(h + 1, rows(a) * rows(a));
    r[1, .] = vecr(eye(rows(a)))';
    for i(2, h + 1, 1);
        r[i, .] = vecr(a * reshape(r[i-1, .], rows(a), rows(a)))';
    endfor;
    return(r);
endp;

proc (1) = mpower(a, k);
    local p, i;
    p = eye(rows(a));
    for i(1, k, 1);
        p = p * a;
    endfor;
    return(p);
endp;

r = impulse(a, h);
? "response after 3 periods equals a^3: " maxc(abs(reshape(r[4, .], 2, 2) - mpower(a, 3))') < 1e-15;
? "stationary by the eigenvalues of a: " maxc(abs(eig(a))) < 1;
? "the powers of a vanish:              " maxc(abs(sumc(mpower(a, 60)))) < 1e-10;
? "long-run multiplier inv(I - a):";
? inv(eye(2) - a);
? "cumulated responses approach it: " maxc(abs(reshape(sumc(impulse(a, 200)), 2, 2) - inv(eye(2) - a))') < 1e-12;
