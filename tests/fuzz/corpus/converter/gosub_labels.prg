/* gosub jumps and comes back through the label written after it */
x = 0;
gosub addone;
gosub addone;
print x;
goto done(1, 2);
addone:
    x = x + 1;
return;
done:
return(x);
