/*
** define_constants.prg - #define of named constants, conditional sections
*/
#define NSTEPS 8
#define RATE 0.05
#define VERBOSE

proc growth(x0);
    local x, i;
    x = x0;
    for i (1, NSTEPS, 1);
        x = x * (1 + RATE);
    endfor;
    retp(x);
endp;

g = growth(100);
print "after NSTEPS periods: " ftos(g, "%*.*lf", 10, 4);
print "closed form agrees:   " (abs(g - 100 * (1 + RATE)^NSTEPS) < 1e-10);
#ifdef VERBOSE
print "verbose section compiled";
#endif
#ifdef QUIET
print "quiet section compiled";
#endif
