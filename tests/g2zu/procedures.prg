/* Procedures: return counts, const arguments found by reading ahead */
proc (2) = split(a, b);
    local t, u;
    local t;
    a = a + 1;
    t = b * 2;
    retp(a, t);
endp;

proc twice(x);
    retp(x * 2);
endp;

proc (0) = display(x, y);
    local q;
    { x, q } = split(x, y);
    print x q;
    retp;
endp;

proc nothing;
    retp;
endp;

keyword announce(str);
    print str;
endp;

fn square(x) = x * x;
fn add3(a, b, c) = a + b + c;
fn many(a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17, a18, a19, a20, a21, a22) = a1 + a22;

{ p, q } = split(1, 2);
r = twice(3) + square(2);
display(1, 2);
announce some words \here "q";
z = nothing;
retp(1);
local zz;
endp;
