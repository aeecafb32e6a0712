/* Commands */
format 8,4;
format /rd 10,2;
format /m1;
load m[10,2] = mydata;
load k;
load w = ^fname, e = "data.txt", f = c:\data\ff;
load path = c:\data x;
save x;
clear a, b;
clear a;
delete /n a b;
errorlog "something failed";
rndseed 12345;
output file = out.txt reset;
screen off;
system;
