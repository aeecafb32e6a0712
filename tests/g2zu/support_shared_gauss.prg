// Stand-ins that call the Gauss mode's own library: trap with the
// factorisations, the R of a QR decomposition, leads and lags, and a
// selection that leaves nothing.
singular = { 1 2, 2 4 };
trap 1;
print scalmiss(inv(singular)) scalmiss(invpd(singular)) scalmiss(chol(singular));
print scalmiss(solpd(ones(2, 1), singular));
trap 0;
x = { 1 2, 3 4, 5 6 };
print qr(x);
{ r, e } = qre(x);
print e';
print lagn(seqa(1, 1, 4), -1)';
print scalmiss(selif(x, zeros(3, 1)));
print miss({1 2 3}, 2);
// A data set written by saved and read back by loadd, as zul -g does.
call saved({1 2, 3 4}, "shared_set", 0);
print loadd("shared_set");
print deletefile("shared_set.dat");
print etstr(123456789);
print sprintf("%d apples and %5.2f pears", 3, 1.5);
d = date();
print (d[1] > 2000) (rows(d) == 4) strlen(datestr(0));
