/*
** fn_and_keywords.prg - one-line functions defined with fn, a keyword
** procedure called with a command line, and procedures called before
** they are defined.
*/
fn sq(x) = x .* x;
fn hyp(a, b) = sqrt(sq(a) + sq(b));

print "hypotenuse of 3 and 4: " hyp(3, 4);
print "cube of 2 by a later procedure: " cube(2);
report("early call", twice(21));

keyword note(str);
    print "note: " str;
endp;

note this line is passed as one string;

proc cube(x);
    retp(x^3);
endp;

proc twice(x);
    retp(2 * x);
endp;

proc (0) = report(label, value);
    print label ": " value;
endp;
