"""The matrix suite in Python with numpy: one test a run, named by the first
argument; a second argument "setup" stops before the timed operation."""
import sys

import numpy as np

name = sys.argv[1]
full = len(sys.argv) < 3 or sys.argv[2] != "setup"
rng = np.random.default_rng()


def gcd2(x, y):
    if np.sum(y > 0) == 0:
        return x
    z = y == 0
    y = np.where(z, x, y)
    return gcd2(y, np.mod(x, y))


if name == "create":
    a = rng.standard_normal((3000, 3000)) / 10
    if full:
        b = a.T.reshape(1500, 6000).T.copy()
elif name == "power":
    a = np.abs(rng.standard_normal((3000, 3000)) / 2)
    if full:
        b = a ** 1000
elif name == "sort":
    a = rng.random(7000000)
    if full:
        b = np.sort(a)
elif name == "crossprod":
    a = rng.standard_normal((4000, 4000))
    if full:
        b = a.T @ a
elif name == "regression":
    a = rng.standard_normal((3400, 3400))
    b = rng.standard_normal(3400)
    if full:
        x = np.linalg.solve(a, b)
elif name == "fft":
    a = rng.standard_normal(2400000)
    if full:
        b = np.fft.fft(a)
elif name == "eigen":
    a = rng.standard_normal((1000, 1000))
    if full:
        b = np.linalg.eigvals(a)
elif name == "determinant":
    a = rng.standard_normal((5000, 5000))
    if full:
        b = np.linalg.det(a)
elif name == "choleski":
    a = rng.standard_normal((6000, 6000))
    a = a.T @ a
    if full:
        b = np.linalg.cholesky(a)
elif name == "inverse":
    a = rng.standard_normal((3000, 3000))
    if full:
        b = np.linalg.inv(a)
elif name == "fibonacci":
    a = np.floor(1000 * rng.random(10000000))
    if full:
        phi = 1.6180339887498949
        b = (phi ** a - (-phi) ** (-a)) / np.sqrt(5)
elif name == "hilbert":
    n = 4500
    if full:
        b = 1 / (np.arange(1, n + 1)[:, None] + np.arange(n) )
elif name == "gcd":
    a = np.ceil(1000 * rng.random(1000000))
    b = np.ceil(1000 * rng.random(1000000))
    if full:
        x = gcd2(a, b)
elif name == "toeplitz":
    n = 1500
    if full:
        b = np.zeros((n, n))
        for j in range(n):
            for i in range(n):
                b[i, j] = abs(i - j) + 1
elif name == "escoufier":
    x = np.abs(rng.standard_normal((60, 60)))
    if full:
        p = x.shape[1]
        vt = list(range(p))
        vr = []
        for j in range(p):
            rvmax, vrt = 0, vt[0]
            for k in range(len(vt)):
                x2 = np.hstack([x, x[:, vr], x[:, [vt[k]]]])
                r = np.corrcoef(x2, rowvar=False)
                ryy = r[:p, :p]
                rxx = r[p:, p:]
                rxy = r[p:, :p]
                rvt = np.trace(rxy.T @ rxy) / np.sqrt(np.trace(ryy @ ryy) * np.trace(rxx @ rxx))
                if rvt > rvmax:
                    rvmax, vrt = rvt, vt[k]
            vr.append(vrt)
            vt.remove(vrt)
