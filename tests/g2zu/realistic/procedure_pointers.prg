// procedure_pointers.prg - procedures passed to procedures: map, compose,
// fixed-point iteration, a procedure stored in a local.
proc (1) = mapc(&f, x);
    local f:proc;
    local y, i;
    y = zeros(rows(x), 1);
    for i(1, rows(x), 1);
        y[i] = f(x[i]);
    endfor;
    return(y);
endp;

proc (1) = fixpoint(&g, x, tol);
    local g:proc;
    local xn;
    xn = g(x);
    do while abs(xn - x) > tol;
        x = xn;
        xn = g(x);
    endo;
    return(xn);
endp;

proc (1) = halfsq(x); return(x^2 / 2); endp;
proc (1) = cosine(x); return(cos(x)); endp;
proc (1) = babylon(x); return((x + 2 / x) / 2); endp;

? "squares halved: ";
? mapc(&halfsq, seqa(1, 1, 4))';
? "Dottie number:   " ftos(fixpoint(&cosine, 1, 1e-13), "%*.*lf", 14, 10);
? "sqrt(2):         " abs(fixpoint(&babylon, 1, 1e-15) - sqrt(2)) < 1e-15;
