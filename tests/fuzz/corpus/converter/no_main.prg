/* Only procedures and declarations: no main() is written */
declare matrix limit = 100;
external matrix shared;
proc (1) = scaled(x);
    retp(x * limit);
endp;
fn half(x) = x / 2;
