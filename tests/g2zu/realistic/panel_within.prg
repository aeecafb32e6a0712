/*
** panel_within.prg - the within (fixed effects) estimator on a balanced
** panel built with kron, against least squares with unit dummies.
*/
nunits = 5;
nt = 6;
n = nunits * nt;
rndseed 2024;
alpha = seqa(1, 2, nunits);             @ unit effects @
x = rndn(n, 2);
unit = kron(seqa(1, 1, nunits), ones(nt, 1));
d = dummy(unit, seqa(1, 1, nunits - 1));     @ n x nunits dummies @
y = d * alpha + x * (0.5 | -1) + 0.1 * rndn(n, 1);

/* within transformation: deviations from unit means */
q = eye(n) - kron(eye(nunits), ones(nt, nt) / nt);
bw = (q*y) / (q*x);                     @ least squares by division @
/* least squares with the dummies */
bd = inv((x ~ d)'(x ~ d)) * (x ~ d)'y;

print "within estimates:";
print bw';
print "dummy regression gives the same slopes: " (maxc(abs(bw - bd[1:2])) < 1e-10);
print "slopes near the truth:                  " (maxc(abs(bw - (0.5 | -1))) < 0.1);
print "unit effects recovered within 0.2:      " (maxc(abs(bd[3:7] - alpha)) < 0.2);
