# (b) recursive fib(27)
import time
def fib(n):
    return n if n < 2 else fib(n - 1) + fib(n - 2)
t = time.process_time(); fib(27); print(time.process_time() - t)
