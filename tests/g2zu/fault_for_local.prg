proc total(n);
    local i, s;
    s = 0;
    for i(1, n, 1);
        s = s + i;
    endfor;
    retp(s + i);
endp;
print total(4);
