/*
** ts_globals.prg - a driver for tsutil.src: the library's options are
** changed between calls, the include stands after some statements.
*/
x = seqa(1, 1, 10);
x = x + 0.5 * (-1)^x;          @ a trend with an alternating wiggle @

#include tsutil.src

r = autocorr(x);
print "four autocorrelations by default: " rows(r);
_ts_maxlag = 2;
r2 = autocorr(x);
print "two after changing the option:    " rows(r2);
print "the first two agree:              " (maxc(abs(r[1:2] - r2)) < 1e-15);
print "lag-1 autocorrelation of a trend is high: " (r2[1] > 0.5);
q = ljungbox(x);
print "Ljung-Box statistic:              " ftos(q, "%*.*lf", 10, 4);
m = movavg(x, 3);
print "moving average starts missing:    " ismiss(m[1:2]);
print "third value:                      " m[3];
