/* The stand-ins of the support file, each on data whose answer is known:
   ties, even and odd row counts, several columns. */
x = { 3 1, 1 2, 2 0, 1 5 };
print seqa(1, 2, 3)';
print seqm(1, 2, 4)';
print cumsumc(x);
print maxindc(x)' minindc(x)';
print median(x)' median(x[1:3, .])';
print sortc(x, 1);
print sortc(x, 2);
print sortind(x[., 2])';
print unique(x, 1)';
print stdc(x)';
print meanc(x)' sumc(x)' prodc(x)' maxc(x)' minc(x)';
print diag(x[1:2, .])';
print kron(x[1, .], ones(2, 1));
print trimr(x, 1, 2);
print strlen("abcd") pi;
