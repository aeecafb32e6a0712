print range(2, 5);
proc range(a, b);
    retp(b - a);
endp;
