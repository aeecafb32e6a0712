# (d) 10^6 calls of a two-argument function
import time
def add(a, b):
    return a + b
def work():
    s = 0.0
    for i in range(1000000):
        s = add(s, i)
    return s
t = time.process_time(); work(); print(time.process_time() - t)
