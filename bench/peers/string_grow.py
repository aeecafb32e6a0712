# (e) a string grown by 10^5 concatenations
import time
def work():
    s = ""
    for i in range(100000):
        s += "x"
    return len(s)
t = time.process_time(); work(); print(time.process_time() - t)
