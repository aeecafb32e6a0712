// quadrature.prg - integrals with known values by several rules
#include quadlib.src

proc (1) = expo(x);
    retp(exp(-x));
endp;

proc (1) = bell(x);
    retp(exp(-x.^2 / 2) / sqrt(2 * pi));
endp;

proc (1) = poly5(x);
    retp(x.^5 - 2*x.^3 + x);
endp;

// integral of exp(-x) on [0, 2] is 1 - exp(-2)
exact = 1 - exp(-2);
t = trapez(&expo, 0, 2, 1000);
r = romberg(&expo, 0, 2, 8);
? "trapezoid error below 1e-6: " abs(t - exact) < 1e-6;
? "Romberg error below 1e-12:  " abs(r - exact) < 1e-12;

// the normal density over [-1.96, 1.96] is 0.95 to four decimals
{ x, w } = gaussleg(12);
a = -1.96; b = 1.96;
g = (b - a) / 2 * w'bell((b - a) / 2 * x + (b + a) / 2);
? "Gauss-Legendre 12 points:   " ftos(g, "%*.*lf", 8, 4);
? "agrees with cdfn:           " abs(g - (cdfn(b) - cdfn(a))) < 1e-10;

// a polynomial of degree 5 is integrated exactly with 3 points
{ x, w } = gaussleg(3);
p = w'poly5(1.5 * x + 1.5) * 1.5;   // on [0, 3]: 3^6/6 - 3^4/2 + 3^2/2
? "degree 5 exact with 3 nodes: " abs(p - (729/6 - 81/2 + 9/2)) < 1e-10;

// the built-in rules
xl = 2 | 0;
? "intquad1 error below 1e-12:  " abs(intquad1(&expo, xl) - exact) < 1e-12;
? "intsimp error below 1e-8:    " abs(intsimp(&expo, xl, 1e-10) - exact) < 1e-8;
