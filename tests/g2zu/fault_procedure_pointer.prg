proc (1) = twice(&f, x);
    local f:proc;
    retp(2 * f(x));
endp;
proc sq(x); retp(x^2); endp;
print twice(&sq, 3);
