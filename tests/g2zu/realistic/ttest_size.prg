@ ---------------------------------------------------------------
  ttest_size.prg
  Size of the one-sample t test under normal data, by simulation:
  the rejection frequency at the 5% level is close to 0.05.
  --------------------------------------------------------------- @
new;
library pgraph;
format /m1 /rd 9,4;
rndseed 777;

nrep = 2000;
n = 20;
crit = cdftci(0.025, n-1);          @ two-sided 5% critical value @
rej = 0;
i = 1;
do while i <= nrep;
    x = rndn(n, 1);
    t = meanc(x)/(stdc(x)/sqrt(n));
    rej = rej + (abs(t) > crit);
    i = i + 1;
endo;
freq = rej/nrep;
se = sqrt(0.05*0.95/nrep);
print "critical value:      " crit;
print "rejection frequency within 3 se of 0.05: " (abs(freq - 0.05) < 3*se);

/* under a shift of one standard deviation the power is near one */
rej = 0;
for i (1, 200, 1);
    x = 1 + rndn(n, 1);
    rej = rej + (abs(meanc(x)/(stdc(x)/sqrt(n))) > crit);
endfor;
print "power above 0.95:    " (rej/200 > 0.95);
