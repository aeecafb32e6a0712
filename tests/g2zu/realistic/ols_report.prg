/*
** ols_report.prg - the library's ols on a small data set: the printed
** report, the returned values against the normal equations, and the
** options __output, __con and _olsres.
*/
let x[8,2] = 1 2  2 1  3 4  4 3  5 6  6 5  7 8  8 9;
let u = 0.1 -0.2 0.1 0.05 -0.1 0.2 -0.05 0.1;
y = 1 + 2*x[.,1] - 0.5*x[.,2] + u;

_olsres = 1;
{ vnam, m, b, stb, vc, se, s, cx, rsq, res, dw } = ols("", y, x);

z = ones(8, 1) ~ x;
bn = invpd(z'z) * z'y;
e = y - z*bn;
print "coefficients agree with the normal equations: " (maxc(abs(b - bn)) < 1e-12);
print "residuals returned:                           " (maxc(abs(res - e)) < 1e-12);
print "standard errors from the covariance matrix:   " (maxc(abs(se - sqrt(diag(vc)))) < 1e-15);
print "R squared:                                    " ftos(rsq, "%*.*lf", 8, 6);
print "names:                                        " vnam[1] " " vnam[2] " " vnam[4];

/* without the constant and without the report */
__output = 0;
__con = 0;
{ vnam, m, b0, stb, vc, se, s, cx, rsq, res, dw } = ols("", y, x);
print "through the origin, two coefficients:         " rows(b0);
print "they solve x'x b = x'y:                       " (maxc(abs(x'x*b0 - x'y)) < 1e-10);
