/* a procedure library: no main code */
declare matrix _lib_tol = 1e-6;
proc libsq(x);
    retp(x^2);
endp;
