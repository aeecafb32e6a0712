// dynargs_demo.prg - procedures with optional arguments
proc (1) = scaled(x, ...);
    local s, shift, n;
    n = dynargsCount();
    { s, shift } = dynargsGet(1|2, 1, 0);
    retp(x * s + shift + 0 * n);
endp;

proc (1) = nargs(...);
    retp(dynargsCount());
endp;

proc (1) = tolerance(...);
    local tol;
    tol = dynargsGet(1, 1e-8);
    retp(tol);
endp;

? "no options:       " scaled(2);
? "scale only:       " scaled(2, 10);
? "scale and shift:  " scaled(2, 10, 5);
? "count of none:    " nargs();
? "count of three:   " nargs(1, "a", 3);
? "default tolerance " tolerance();
? "given tolerance   " tolerance(0.5);
