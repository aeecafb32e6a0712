/* Errors are reported and the conversion goes on */
endif;
endo;
endfor;
else;
proc p1(x);
    if x > 1;
        retp(1);
endp;
proc p2(y);
    proc p3(z);
    retp(z);
endp;
proc rows(x);
endp;
x = 1 # 2;
s = "no end;
t = 0x12G4;
u = 12abc;
v = 0x123456789;
w = (1 + 2;
# stray
#!
do while 1;
