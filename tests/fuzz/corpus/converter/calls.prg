/* Calls: conversion-table replacements, undeclared names reported once,
   functions without a Zu stand-in, and bare names of functions. */
x = rndn(3, 2);
k = cols(x) + rows(x);
m = meanc(x);
d = myhelper(x);
e = myhelper(d);
s = ftos(k, "%lf", 8, 2);
t = hsec;
p = pi * 2;
undeclared(x);
call rndseedlike(1);

proc (0) = report(v);
    print v;
endp;

report(x);
report;
y = abs(-x) + ln(k);
title = "a variable named like a table entry";
print title;
