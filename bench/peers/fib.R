# (b) recursive fib(27)
fib <- function(n) if (n < 2) n else fib(n - 1) + fib(n - 2)
t <- sum(proc.time()[c("user.self", "sys.self")]); fib(27); cat(sum(proc.time()[c("user.self", "sys.self")]) - t, "\n")
