/*
** gosub_classic.prg - subroutines with GOSUB and RETURN at file level, the
** way older programs were organised.
*/
total = 0;
i = 1;
do while i <= 5;
    k = i;
    gosub square;
    total = total + sq;
    i = i + 1;
endo;
print "sum of squares 1..5: " total;
print "expected 55:         " (total == 55);
goto finish;

square:
    sq = k * k;
    return;

finish:
print "done";
