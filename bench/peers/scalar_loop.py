# (a) s += i * 0.5 for i up to 10^7
import time
def work():
    s = 0.0
    for i in range(10000000):
        s += i * 0.5
    return s
t = time.process_time(); work(); print(time.process_time() - t)
