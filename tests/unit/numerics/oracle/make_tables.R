# Reference values for the probability functions of the numerics library.
#
# Run once with "Rscript make_tables.R > tables.txt" in this folder; the
# test reads tables.txt and never needs R.  Each line is
#   NAME EXPECTED TOLERANCE ARG...
# with NAME the routine, EXPECTED R's value and TOLERANCE the relative
# error allowed.  Distributions without a base R routine are computed from
# their closed forms or by R's own numerical integration.

rows <- list()
emit <- function(name, expected, args, tol = 1e-12) {
  for (i in seq_along(expected)) {
    a <- sapply(args, function(v) if (length(v) == 1) v else v[i])
    rows[[length(rows) + 1]] <<- sprintf("%s %.17g %.3g %s", name, expected[i], tol,
                                         paste(sprintf("%.17g", a), collapse = " "))
  }
}

p <- c(1e-10, 0.001, 0.05, 0.3, 0.5, 0.77, 0.975, 0.999999)

# Normal family: the quantile and density are exact, the distribution
# function is a 15-digit approximation.
x <- c(-7.5, -3, -1.2, -0.3, 0.4, 1.28, 1.3, 2.5, 6, 8.5, 12)
emit("DProbNormal", pnorm(x), list(x), 1e-9)
emit("DTailProbNormal", pnorm(x, lower.tail = FALSE), list(x), 1e-9)
emit("DDensNormal", dnorm(x), list(x), 1e-14)
emit("DQuanNormal", qnorm(c(1e-300, 1e-20, p)), list(c(1e-300, 1e-20, p)), 1e-14)

# Student t.
tx <- c(-5, -2.2, -0.7, 0.1, 1, 3.9, 4, 7.5, 30)
# The fixed finite series below t = 4 subtracts from 0.5, which costs
# about a digit in the tail for many degrees of freedom.
for (df in c(1, 2, 3, 7, 30, 101)) {
  emit("DTailProbT", pt(tx, df, lower.tail = FALSE), list(tx, df), 1e-11)
  emit("DProbT", pt(tx, df), list(tx, df), 1e-11)
  emit("DDensT", dt(tx, df), list(tx, df))
  emit("DQuanT", qt(p, df), list(p, df))
}
# Beyond 100000 degrees of freedom the tail comes from the incomplete beta.
emit("DTailProbT", pt(tx, 250001, lower.tail = FALSE), list(tx, 250001))
emit("DProbT", pt(tx, 250001), list(tx, 250001))
emit("DDensT", dt(tx, 2.5), list(tx, 2.5))
emit("DQuanTD", qt(p, 4.5), list(p, 4.5))
# R's own noncentral routines lose digits in the tails (they subtract
# from 1), so the noncentral references are the defining mixtures: the t
# as an integral over the chi-squared, the others as Poisson mixtures of
# central distributions.
nct <- function(t, df, d)
  integrate(function(v) pnorm(t * sqrt(v / df) - d) * dchisq(v, df), 0, Inf,
            rel.tol = 1e-13)$value
emit("DProbTNc", sapply(tx, nct, df = 6, d = 1.5), list(tx, 6, 1.5), 1e-11)
pmix <- function(l, f) { j <- 0:600; sum(dpois(j, l / 2) * sapply(j, f)) }

# Chi-squared and F.
cx <- c(0.01, 0.5, 2, 5.5, 17, 60)
for (df in c(0.5, 1, 3, 10, 45.5)) {
  emit("DProbChi", pchisq(cx, df), list(cx, df))
  emit("DTailProbChi", pchisq(cx, df, lower.tail = FALSE), list(cx, df))
  emit("DDensChi", dchisq(cx, df), list(cx, df))
  emit("DQuanChi", qchisq(p, df), list(p, df))
}
emit("DProbChiNc", sapply(cx, function(x) pmix(2.5, function(j) pchisq(x, 4 + 2 * j))),
     list(cx, 4, 2.5))
fx <- c(0.05, 0.4, 1, 2.7, 9, 40)
for (d in list(c(1, 1), c(3, 8), c(10, 2.5), c(30, 60))) {
  emit("DProbF", pf(fx, d[1], d[2]), list(fx, d[1], d[2]))
  emit("DTailProbF", pf(fx, d[1], d[2], lower.tail = FALSE), list(fx, d[1], d[2]))
  emit("DDensF", df(fx, d[1], d[2]), list(fx, d[1], d[2]))
  # qf subtracts from 1; the ratio of the two beta quantiles does not.
  emit("DQuanF", d[2] / d[1] * qbeta(p, d[1] / 2, d[2] / 2) /
                 qbeta(p, d[2] / 2, d[1] / 2, lower.tail = FALSE), list(p, d[1], d[2]))
}
emit("DProbFNc", sapply(fx, function(x)
  pmix(3, function(j) pbeta(4 * x / (4 * x + 12), 2 + j, 6))), list(fx, 4, 12, 3))

# Gamma, beta, exponential.
gx <- c(0.001, 0.3, 1, 2.5, 8, 25)
for (s in list(c(0.3, 1), c(1, 2), c(4.5, 0.5), c(30, 3))) {
  emit("DProbGamma", pgamma(gx, shape = s[1], rate = s[2]), list(gx, s[1], s[2]))
  emit("DDensGamma", dgamma(gx, shape = s[1], rate = s[2]), list(gx, s[1], s[2]))
  emit("DQuanGamma", qgamma(p, shape = s[1], rate = s[2]), list(p, s[1], s[2]))
}
bx <- c(0.001, 0.1, 0.35, 0.5, 0.8, 0.999)
for (s in list(c(0.5, 0.5), c(2, 3), c(1, 7.5), c(40, 12))) {
  emit("DProbBeta", pbeta(bx, s[1], s[2]), list(bx, s[1], s[2]))
  emit("DDensBeta", dbeta(bx, s[1], s[2]), list(bx, s[1], s[2]))
  emit("DQuanBeta", qbeta(p, s[1], s[2]), list(p, s[1], s[2]))
}
emit("DProbBetaNc", sapply(bx, function(x) pmix(1.5, function(j) pbeta(x, 2 + j, 3))),
     list(bx, 2, 3, 1.5))
ex <- c(0.2, 1, 3.5)
emit("DProbExp", pexp(ex, 1.7), list(ex, 1.7))
emit("DDensExp", dexp(ex, 1.7), list(ex, 1.7))
emit("DQuanExp", qexp(p, 1.7), list(p, 1.7))

# Location-scale families.
lx <- c(-4, -0.5, 0.3, 1.7, 6)
emit("DProbLogistic", plogis(lx, 0.5, 1.5), list(lx, 0.5, 1.5))
emit("DDensLogistic", dlogis(lx, 0.5, 1.5), list(lx, 0.5, 1.5))
emit("DQuanLogistic", qlogis(p, 0.5, 1.5), list(p, 0.5, 1.5))
emit("DProbCauchy", pcauchy(lx), list(lx))
emit("DDensCauchy", dcauchy(lx), list(lx))
emit("DQuanCauchy", qcauchy(p), list(p))
px <- c(0.05, 0.5, 1, 2.5, 11)
emit("DProbLogNormal", plnorm(px), list(px))
emit("DDensLogNormal", dlnorm(px), list(px))
emit("DQuanLogNormal", qlnorm(p), list(p))
emit("DProbWeibull", pweibull(px, 1.5, 2), list(px, 1.5, 2))
emit("DDensWeibull", dweibull(px, 1.5, 2), list(px, 1.5, 2))
emit("DQuanWeibull", qweibull(p, 1.5, 2), list(p, 1.5, 2))
# Gumbel and Pareto from their closed forms.
emit("DProbExtremeValue", exp(-exp(-(lx - 1) / 2)), list(lx, 1, 2))
emit("DDensExtremeValue", exp(-(lx - 1) / 2 - exp(-(lx - 1) / 2)) / 2, list(lx, 1, 2))
emit("DQuanExtremeValue", 1 - 2 * log(-log(p)), list(p, 1, 2))
rx <- c(1.5, 2, 4, 30)
emit("DProbPareto", 1 - (1.5 / rx)^2.5, list(rx, 1.5, 2.5))
emit("DDensPareto", 2.5 * 1.5^2.5 / rx^3.5, list(rx, 1.5, 2.5))
emit("DQuanPareto", 1.5 * (1 - p)^(-1 / 2.5), list(p, 1.5, 2.5))
# Inverse Gaussian from its closed form over the normal.
ig <- function(x, mu, lambda) {
  a <- sqrt(lambda / x)
  pnorm(a * (x / mu - 1)) + exp(2 * lambda / mu + pnorm(-a * (x / mu + 1), log.p = TRUE))
}
ix <- c(0.1, 0.6, 1.5, 4, 12)
emit("DProbInvGaussian", ig(ix, 1.5, 2), list(ix, 1.5, 2))
emit("DDensInvGaussian", sqrt(2 / (2 * pi * ix^3)) * exp(-2 * (ix - 1.5)^2 / (2 * 1.5^2 * ix)),
     list(ix, 1.5, 2))
# Von Mises: density from the scaled Bessel function, distribution by
# numerical integration (to about 1e-12).  The Fourier series of the
# distribution function is accurate to 1e-16 absolute, so the points stay
# where the probability is not tiny.
vm <- function(x, mu, k) exp(k * (cos(x - mu) - 1)) / (2 * pi * besselI(k, 0, expon.scaled = TRUE))
for (k in c(0.5, 4, 60)) {
  vx <- if (k < 60) c(-2.5, -0.4, 0.3, 1, 3) else c(0.05, 0.2, 0.3, 0.41, 0.6)
  emit("DDensMises", vm(vx, 0.3, k), list(vx, 0.3, k))
  emit("DProbMises", sapply(vx, function(v) integrate(vm, 0.3 - pi, v, mu = 0.3, k = k,
                                                      rel.tol = 1e-12)$value),
       list(vx, 0.3, k), 1e-10)
}

# Discrete distributions.
for (s in list(c(10, 0.3), c(200, 0.05), c(1000, 0.61))) {
  kx <- round(c(0.1, 0.3, 0.5, 0.7, 0.9) * s[1] * s[2] * 2)
  emit("DProbBinomial", pbinom(kx, s[1], s[2]), list(kx, s[1], s[2]))
  emit("DDensBinomial", dbinom(kx, s[1], s[2]), list(kx, s[1], s[2]))
  emit("DQuanBinomial", qbinom(p, s[1], s[2]), list(p, s[1], s[2]))
}
kx <- c(0, 1, 4, 20)
emit("DProbGeometric", pgeom(kx, 0.15), list(kx, 0.15))
emit("DDensGeometric", dgeom(kx, 0.15), list(kx, 0.15))
emit("DQuanGeometric", qgeom(p, 0.15), list(p, 0.15))
# Our (x, N, k, n) is R's (x, m = k, n = N - k, k = n).
hx <- c(0, 2, 5, 8)
emit("DProbHypergeometric", phyper(hx, 20, 30, 12), list(hx, 50, 20, 12))
emit("DDensHypergeometric", dhyper(hx, 20, 30, 12), list(hx, 50, 20, 12))
emit("DQuanHypergeometric", qhyper(p, 20, 30, 12), list(p, 50, 20, 12))
# Large populations.
hx <- c(470, 500, 531, 560)
emit("DProbHypergeometric", phyper(hx, 1e6, 2e6, 1500), list(hx, 3e6, 1e6, 1500))
emit("DDensHypergeometric", dhyper(hx, 1e6, 2e6, 1500), list(hx, 3e6, 1e6, 1500))
emit("DQuanHypergeometric", qhyper(p, 1e6, 2e6, 1500), list(p, 3e6, 1e6, 1500))
emit("DProbHypergeometric", phyper(0:1, 3, 2147483644, 2), list(0:1, 2147483647, 3, 2))
nx <- c(0, 3, 10, 40)
emit("DProbNegBin", pnbinom(nx, 4, 0.3), list(nx, 4, 0.3))
emit("DDensNegBin", dnbinom(nx, 4, 0.3), list(nx, 4, 0.3))
emit("DQuanNegBin", qnbinom(p, 4, 0.3), list(p, 4, 0.3))
for (mu in c(0.4, 7, 150)) {
  counts <- round(mu * c(0.2, 0.9, 1.6, 3))
  emit("DProbPoisson", ppois(counts, mu), list(counts, mu))
  emit("DDensPoisson", dpois(counts, mu), list(counts, mu))
  emit("DQuanPoisson", qpois(p, mu), list(p, mu))
}
# Logarithmic from its definition.
lg <- function(x, a) -a^x / (x * log(1 - a))
gx2 <- c(1, 2, 5, 30)
emit("DDensLogarithmic", lg(gx2, 0.7), list(gx2, 0.7))
emit("DProbLogarithmic", sapply(gx2, function(v) sum(lg(1:v, 0.7))), list(gx2, 0.7))

# Bivariate normal by integration of the conditional distribution.
bvn <- function(h, k, r) integrate(function(x) dnorm(x) * pnorm((k - r * x) / sqrt(1 - r^2)),
                                   -Inf, h, rel.tol = 1e-13, abs.tol = 0)$value
for (r in c(-0.95, -0.5, 0, 0.2, 0.6, 0.93, 0.999)) {
  h <- c(-2, -0.3, 0.5, 1.7)
  k <- c(-1, 0.8, -0.2, 2.5)
  emit("DProbBVN", mapply(bvn, h, k, r), list(h, k, r), 1e-10)
}

# Generalised hyperbolic (location 0) and generalised inverse Gaussian.
gh <- function(x, alpha, beta, delta, lambda) {
  g <- sqrt(alpha^2 - beta^2); q <- sqrt(delta^2 + x^2)
  (g / delta)^lambda / (sqrt(2 * pi) * besselK(delta * g, lambda)) *
    besselK(alpha * q, lambda - 0.5) / (q / alpha)^(0.5 - lambda) * exp(beta * x)
}
hx2 <- c(-3, -0.5, 0, 1.2, 4)
emit("DDensGH", gh(hx2, 2, 0.5, 1.5, -0.7), list(hx2, 2, 0.5, 1.5, -0.7))
emit("DDensGH", gh(hx2, 1, -0.3, 0.8, 1), list(hx2, 1, -0.3, 0.8, 1))
gig <- function(x, lambda, chi, psi)
  (psi / chi)^(lambda / 2) / (2 * besselK(sqrt(chi * psi), lambda)) *
    x^(lambda - 1) * exp(-(chi / x + psi * x) / 2)
gx3 <- c(0.05, 0.4, 1, 2.5, 9)
emit("DDensGIG", gig(gx3, 0.5, 2, 3), list(gx3, 0.5, 2, 3))
emit("DDensGIG", gig(gx3, -1.5, 0.7, 1.2), list(gx3, -1.5, 0.7, 1.2))

# Support routines.  The log-gamma series is fixed; away from its zeros
# at 1 and 2 it is accurate to the last digits.
lx2 <- c(1e-5, 0.1, 0.5, 3.7, 8.49, 8.5, 100, 1e5)
emit("DLogGamma", lgamma(lx2), list(lx2), 1e-13)
emit("DGammaFunc", pgamma(c(0.2, 1, 7), 2.5), list(c(0.2, 1, 7), 2.5))
emit("DBetaFunc", pbeta(c(0.2, 0.6), 2, 5), list(c(0.2, 0.6), 2, 5))
emit("DPolyGamma", psigamma(c(0.3, 2, 15), 0), list(c(0.3, 2, 15), 0))
emit("DPolyGamma", psigamma(c(0.3, 2, 15), 2), list(c(0.3, 2, 15), 2))
emit("DBinomial", choose(c(5, 30, 60), c(2, 15, 7)), list(c(5, 30, 60), c(2, 15, 7)))
# factorial() goes through the gamma function; products are exact here.
emit("DFactorial", sapply(c(0, 5, 20), function(n) prod(seq_len(n))), list(c(0, 5, 20)),
     1e-15)

writeLines(unlist(rows))
