/*
** missing_values.prg - missing values: coding, recoding, packing,
** selection that selects nothing.
*/
let x[5,2] = 1 -99  2 4  -99 6  8 10  12 -99;
xm = miss(x, -99);
print "any missing:        " ismiss(xm);
clean = packr(xm);
print "complete rows left: " rows(clean);
print "rows with missings: " (rows(xm) - rows(clean));
print "column means of complete rows:";
print meanc(clean)';
back = missrv(xm, 0);
print "recoded to zero:    " sumc(back .== 0)';
print "any missing now:    " ismiss(back);

/* selif that selects nothing gives a scalar missing value */
big = selif(clean, clean[.,1] .> 100);
print "nothing selected is missing: " scalmiss(big);
some = selif(clean, clean[.,1] .> 5);
print "selected rows:      " rows(some);
kept = delif(clean, clean[.,1] .> 0);
print "all deleted is missing: " scalmiss(kept);
print "a matrix is not a scalar missing: " scalmiss(clean);

/* substitute: negative elements become zero */
z = substute(x, x .< 0, 0);
print "smallest after substitution: " minc(minc(z));
