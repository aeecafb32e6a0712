/*
**  OLS_CLASSIC.PRG
**
**  Least squares written the old way: LET, @ comments, upper case, a
**  procedure returning several values and a check on data whose exact
**  coefficients are known.
*/
NEW;
OUTPUT OFF;
FORMAT /RD 10,4;

LET X[8,2] = 1 2
             1 3
             1 5
             1 7
             1 8
             1 10
             1 11
             1 13;
LET BTRUE = 2.5 -0.75;
Y = X * BTRUE;                 @ no error term: OLS recovers BTRUE @

PROC (4) = OLSQ(Y, X);
    LOCAL B, E, S2, V, R2;
    B = INVPD(X'X) * X'Y;
    E = Y - X*B;
    S2 = E'E / (ROWS(X) - COLS(X));
    V = S2 * INVPD(X'X);
    R2 = 1 - (E'E) / ((Y - MEANC(Y))'(Y - MEANC(Y)));
    RETP(B, E, V, R2);
ENDP;

{ B, E, V, R2 } = OLSQ(Y, X);
PRINT "COEFFICIENTS RECOVERED: " (MAXC(ABS(B - BTRUE)) < 1E-10);
PRINT "RESIDUALS VANISH:       " (MAXC(ABS(E)) < 1E-10);
PRINT "R SQUARED IS ONE:       " (ABS(R2 - 1) < 1E-12);
PRINT "Y/X IS LEAST SQUARES:   " (MAXC(ABS(Y/X - BTRUE)) < 1E-10);

/* WITH A KNOWN PERTURBATION THE FIT IS NO LONGER EXACT */
LET U = 0.1 -0.1 0.1 -0.1 0.1 -0.1 0.1 -0.1;
{ B, E, V, R2 } = OLSQ(Y + U, X);
PRINT "RESIDUALS ORTHOGONAL TO X: " (MAXC(ABS(X'E)) < 1E-10);
PRINT "STANDARD ERRORS POSITIVE:  " (MINC(SQRT(DIAG(V))) > 0);
PRINT "SLOPE:" B[2];
