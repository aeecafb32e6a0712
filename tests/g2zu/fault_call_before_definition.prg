y = later(2);
print y;
proc later(a);
    retp(a + 1);
endp;
