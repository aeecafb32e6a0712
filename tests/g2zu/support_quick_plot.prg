// The quick plot converted: the same pictures as zul -g draws, saved in
// the working folder; trap with a mask sets only the masked bits.
x = seqa(0, 0.1, 50);
plot x, sin(x)~cos(x);
plotsym 1;
plot x, x.*x;
print rows(filesa("zugraph*.png"));
trap 1;
trap 0, 2;
print trapchk(1);
trap 0, 1;
print trapchk(1);
