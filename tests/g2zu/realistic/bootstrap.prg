// bootstrap.prg - bootstrap standard error of the mean and of the median
// of a simulated sample, against the formula for the mean.
rndseed 20240601;
n = 200;
x = 3 + 2 * rndn(n, 1);

proc (1) = resample(x);
    local idx;
    idx = ceil(rndu(rows(x), 1) * rows(x));
    retp(x[idx]);
endp;

b = 999;
means = zeros(b, 1);
medians = zeros(b, 1);
for i(1, b, 1);
    xb = resample(x);
    means[i] = meanc(xb);
    medians[i] = median(xb);
endfor;

se_formula = stdc(x) / sqrt(n);
se_boot = stdc(means);
? "bootstrap se of the mean within 10% of s/sqrt(n): " abs(se_boot / se_formula - 1) < 0.1;
? "se of the median exceeds se of the mean:          " stdc(medians) > se_boot;
? "bootstrap mean centred on the sample mean:        " abs(meanc(means) - meanc(x)) < 3 * se_boot / sqrt(b) + 0.01;
// a 95% percentile interval covers the true mean 3
s = sortc(means, 1);
lo = s[25];
hi = s[975];
? "percentile interval contains 3:                   " lo < 3 and 3 < hi;
