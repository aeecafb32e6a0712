/* With one argument the Zu text goes to standard output, the log to
   standard error, and the header is named after the Gauss file. */
x = 1;
proc f(a);
    retp(a);
endp;
