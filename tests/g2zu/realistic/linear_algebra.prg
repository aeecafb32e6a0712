// linear_algebra.prg - decompositions and solvers against known answers
a = { 4 -2 1, -2 4 -2, 1 -2 4 };      // symmetric positive definite
b = { 11, -16, 17 };                 // a * (1 -2 3)' = b
xtrue = { 1, -2, 3 };

? "solpd:    " maxc(abs(solpd(b, a) - xtrue)) < 1e-12;
? "linsolve: " maxc(abs(linsolve(b, a) - xtrue)) < 1e-12;
? "inv:      " maxc(abs(inv(a) * b - xtrue)) < 1e-12;
? "invpd:    " maxc(abs(invpd(a) * b - xtrue)) < 1e-12;
? "division: " maxc(abs(b / a - xtrue)) < 1e-12;
q = b / 2;
? "by a scalar: " q[2] == -8;

r = chol(a);
? "chol is upper triangular: " sumc(sumc(abs(lowmat(r) - diagrv(zeros(3,3), diag(r))))) == 0;
? "r'r = a:                  " maxc(maxc(abs(r'r - a))) < 1e-12;

g = { 0 2 1, 1 1 1, 2 1 0 };         // needs pivoting: g[1,1] is zero
{ l, u } = lu(g);
? "l*u = g:                  " maxc(maxc(abs(l*u - g))) < 1e-12;
? "u upper triangular:       " u[2,1] == 0 and u[3,1] == 0 and u[3,2] == 0;
? "lusol solves g x = c:     " maxc(abs(g * lusol(g * xtrue, l, u) - g * xtrue)) < 1e-12;

{ rr, e } = qre(a ~ (a[.,1] * 2));   // the last column is twice the first
? "qre pivots the largest column first: " e[1] == 4;
? "qre rank deficiency shows: " abs(rr[4,4]) < 1e-10;

? "det:                      " abs(det(a) - 36) < 1e-10;
ev = eigh(a);
? "eigenvalues ascending, sum = trace: " ev[1] <= ev[2] and ev[2] <= ev[3] and abs(sumc(ev) - 12) < 1e-12;
? "singular values of a = eigenvalues: " maxc(abs(svd(a) - rev(ev))) < 1e-10;

// a singular matrix under trap gives a missing value instead of an error
trap 1;
s = invpd({ 1 2, 2 4 });
trap 0;
? "singular matrix trapped:  " scalmiss(s);
