proc (1) = addup(a, ...);
    local b;
    b = dynargsGet(1, 10);
    retp(a + b);
endp;
print addup(1);
print addup(1, 2);
