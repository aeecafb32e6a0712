declare matrix scale = 3;
proc times(x);
    external matrix scale;
    retp(x * scale);
endp;
print times(2);
