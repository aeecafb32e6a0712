/*
** loops_control.prg - loops and branches: do while, do until, for with a
** negative step, break, continue, elseif chains, a for counter that is a
** local of its procedure.
*/
proc collatz(n);
    local steps;
    steps = 0;
    do until n == 1;
        if n % 2 == 0;
            n = n / 2;
        else;
            n = 3 * n + 1;
        endif;
        steps = steps + 1;
    endo;
    retp(steps);
endp;

proc firstdivisor(n);
    local i, d;
    d = n;
    for i (2, n - 1, 1);
        if n - i * floor(n / i) == 0;
            d = i;
            break;
        endif;
    endfor;
    retp(d);
endp;

proc grade(score);
    if score >= 90;
        retp("A");
    elseif score >= 75;
        retp("B");
    elseif score >= 50;
        retp("C");
    else;
        retp("F");
    endif;
endp;

print "Collatz steps from 27: " collatz(27);
print "first divisor of 91:   " firstdivisor(91);
print "97 is prime:           " (firstdivisor(97) == 97);
print "grades: " grade(95) grade(80) grade(60) grade(10);

s = 0;
for k (10, 1, -1);
    if k % 3 == 0;
        continue;
    endif;
    s = s + k;
endfor;
print "sum of 1..10 without multiples of 3: " s;
