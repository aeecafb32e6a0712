# (d) 10^6 calls of a two-argument function
add <- function(a, b) a + b
t <- sum(proc.time()[c("user.self", "sys.self")])
s <- 0; for (i in 0:999999) s <- add(s, i)
cat(sum(proc.time()[c("user.self", "sys.self")]) - t, "\n")
