#!/usr/bin/env python3
"""Hard least-squares problems with their exact solutions.

Run once with "python3 make_problems.py > problems.txt" in this folder; the
regression accuracy test reads problems.txt and needs neither Python nor
this script.  Every datum is a double written in hexadecimal, so whatever
reads it gets exactly the value the solution was computed for; the
solutions are exact rational arithmetic (fractions) rounded to 25 digits
at the end.

Format, one block a problem:
    problem NAME T K INTERCEPT MINDIGITS
    T lines: y x1 ... xK            (hexadecimal doubles)
    b  K exact coefficients
    se K exact standard errors
    s  the residual standard deviation sqrt(RSS / (T - K))
    r2 R squared (centred with an intercept, uncentred without)
INTERCEPT is 1 when x1 is the constant.  MINDIGITS is the fewest correct
digits the test accepts for any of the quantities.
"""

from decimal import Decimal, getcontext
from fractions import Fraction

getcontext().prec = 50


class Noise:
    """A small linear congruential generator: the same numbers everywhere."""

    def __init__(self, seed):
        self.state = seed

    def next(self):
        self.state = (self.state * 1103515245 + 12345) % 2**31
        return self.state / 2**31 - 0.5  # in [-1/2, 1/2), a multiple of 2^-31


def exact(v):
    return Fraction(v)


def solve(a, b):
    """Gauss-Jordan elimination over the rationals: a x = b."""
    n = len(a)
    m = [row[:] + [b[i]] for i, row in enumerate(a)]
    for c in range(n):
        p = next(r for r in range(c, n) if m[r][c] != 0)
        m[c], m[p] = m[p], m[c]
        for r in range(n):
            if r != c and m[r][c] != 0:
                f = m[r][c] / m[c][c]
                m[r] = [x - f * y for x, y in zip(m[r], m[c])]
    return [m[i][n] / m[i][i] for i in range(n)]


def inverse_diagonal(a):
    n = len(a)
    return [solve(a, [Fraction(int(i == j)) for i in range(n)])[j] for j in range(n)]


def dec(q):
    return Decimal(q.numerator) / Decimal(q.denominator)


def fmt(d):
    return format(d, '.25e')


def emit(name, ys, xs, intercept, min_digits):
    """ys: T doubles; xs: T rows of K doubles."""
    T, K = len(ys), len(xs[0])
    X = [[exact(v) for v in row] for row in xs]
    Y = [exact(v) for v in ys]
    xtx = [[sum(X[t][i] * X[t][j] for t in range(T)) for j in range(K)] for i in range(K)]
    xty = [sum(X[t][i] * Y[t] for t in range(T)) for i in range(K)]
    b = solve(xtx, xty)
    resid = [Y[t] - sum(X[t][j] * b[j] for j in range(K)) for t in range(T)]
    rss = sum(e * e for e in resid)
    if intercept:
        mean = sum(Y) / T
        tss = sum((v - mean) ** 2 for v in Y)
    else:
        tss = sum(v * v for v in Y)
    s2 = rss / (T - K)
    s = dec(s2).sqrt()
    se = [(dec(s2 * d)).sqrt() for d in inverse_diagonal(xtx)]
    print(f"problem {name} {T} {K} {int(intercept)} {min_digits}")
    for t in range(T):
        print(" ".join(float(v).hex() for v in [ys[t]] + list(xs[t])))
    print("b " + " ".join(fmt(dec(v)) for v in b))
    print("se " + " ".join(fmt(v) for v in se))
    print("s " + fmt(s))
    print("r2 " + fmt(dec(1 - rss / tss)))


def powers(x, degree):
    """1, x, ..., x^degree, each the double nearest the exact power."""
    return [float(Fraction(x) ** j) for j in range(degree + 1)]


def polynomial(name, xs, degree, truth, noise, min_digits):
    ys = []
    for x in xs:
        value = sum(c * Fraction(x) ** j for j, c in enumerate(truth))
        ys.append(float(value) + noise.next() * 2**-10)
    emit(name, ys, [powers(x, degree) for x in xs], True, min_digits)


def main():
    # Degree 5 over [2, 3.25] and degree 7 over [10, 12]: the columns of
    # powers are nearly parallel (condition 1e6 and 3e11 after scaling).
    polynomial("poly5_narrow", [2 + k / 32 for k in range(41)], 5,
               [1, -2, 0.5, 0.25, -0.125, 0.0625], Noise(5), 10)
    polynomial("poly7_offset", [10 + k / 32 for k in range(65)], 7,
               [3, 1, -1, 0.5, 0.25, 0.125, -0.0625, 0.001], Noise(7), 8.5)
    # Degree 10 over [-8.75, -3.0625], of the kind of the classic hard
    # polynomial test: condition 4e9 after scaling.
    polynomial("poly10_narrow", [-8.75 + k / 16 for k in range(92)], 10,
               [-1467, -2772, -2316, -1127, -354, -75, -10.9, -1.06, -0.067,
                -0.0025, -4e-5], Noise(10), 10)

    # Collinear macroeconomic-like series of very different scales: a
    # national product near 4e5, an unemployment count, armed forces, a
    # population near 1.2e5 that grows with the product, and the year.
    noise = Noise(1947)
    rows, ys = [], []
    for t in range(16):
        year = 1947 + t
        gnp = round(234289 + 14000 * t + 3000 * noise.next())
        unemployed = round(2356 + 150 * t + 900 * noise.next())
        armed = round(1590 + 100 * t + 700 * noise.next())
        population = round(107608 + 0.004 * gnp + 1600 * t + 40 * noise.next())
        rows.append([1.0, float(gnp), float(unemployed), float(armed), float(population),
                     float(year)])
        ys.append(float(round(60323 + 0.03 * gnp - 0.5 * unemployed - 0.7 * armed
                              + 400 * noise.next())))
    emit("collinear_scales", ys, rows, True, 13.5)

    # Without an intercept: three regressors that differ by a few parts in
    # a thousand.
    noise = Noise(3)
    rows, ys = [], []
    for t in range(1, 31):
        x1 = float(t)
        x2 = t + noise.next() * 2**-8
        x3 = t + t * t * 2**-12 + noise.next() * 2**-8
        rows.append([x1, x2, x3])
        ys.append(2 * x1 - x2 + 0.5 * x3 + noise.next() * 2**-6)
    emit("no_intercept", ys, rows, False, 14)

    # A near-exact fit: residuals of relative size 2^-36.
    noise = Noise(11)
    rows, ys = [], []
    for t in range(25):
        x1 = t / 4
        x2 = (t * 7 % 25) / 8
        x3 = (t * t % 13) / 2
        rows.append([1.0, x1, x2, x3])
        ys.append(float(Fraction(3) + Fraction(x1) * 2 - Fraction(x2) / 4 + Fraction(x3) * 5
                        + Fraction(noise.next()) * 2**-30))
    emit("near_exact", ys, rows, True, 10)

    # Regressors of scale 2^-24 and 2^30 beside an intercept: as easy as the
    # same problem in units, if scale does not matter.
    noise = Noise(24)
    rows, ys = [], []
    for t in range(20):
        small = (t + noise.next()) * 2**-24
        large = (t % 7 + noise.next()) * 2**30
        rows.append([1.0, small, large])
        ys.append(1 + small * 2**24 * 3 - large * 2**-30 + noise.next() / 8)
    emit("tiny_and_huge_scales", ys, rows, True, 15.5)


if __name__ == "__main__":
    main()
