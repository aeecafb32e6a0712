/*
** descriptive_stats.prg - dstat on data with missing values, checked
** against the statistics computed by hand on the complete cases.
*/
let x[6,3] = 1  10  .
             2  .   5
             3  30  5
             4  40  .
             5  50  5
             6  60  5;
{ vnam, mean, var, std, min, max, valid, mis } = dstat(0, x);
print "valid counts:   " valid';
print "missing counts: " mis';
c = x[., 2];
c = packr(c);
print "mean of column 2 by hand agrees: " (abs(mean[2] - meanc(c)) < 1e-12);
print "variance with divisor n - 1:      " (abs(var[2] - sumc((c - meanc(c)).^2) / (rows(c) - 1)) < 1e-12);
print "constant column has no spread:    " (std[3] == 0);
print "range of column 1:                " min[1] max[1];
