proc half(x);
    return(x / 2);
endp;
proc nothing(x);
    return;
endp;
print half(7);
