# (c) set every element of a 1000 by 1000 matrix by index, then sum it
import time
def work():
    m = [[0.0] * 1000 for _ in range(1000)]
    for i in range(1000):
        row = m[i]
        for j in range(1000):
            row[j] = i + j
    s = 0.0
    for i in range(1000):
        row = m[i]
        for j in range(1000):
            s += row[j]
    return s
t = time.process_time(); work(); print(time.process_time() - t)
