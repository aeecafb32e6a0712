/* An existing output file is kept when the question is answered n */
x = 1;
print x;
