/*
** matrix_io.prg - saving and loading Gauss matrix files, and the output
** file that keeps a copy of what is printed.
*/
new;
cls;
output file = matrix_io_out.txt reset;
m = reshape(seqa(1, 1, 12), 3, 4);
m[2, 3] = -0.125;
save m;
save mcopy = m;
clear m;
load m;
load twin = mcopy;
print "loaded back unchanged: " (m == twin);
print "element kept:          " m[2,3];
print "shape kept:            " rows(m) cols(m);
output off;
print "this line goes only to the screen";
wait;
