# (a) s += i * 0.5 for i up to 10^7
t <- sum(proc.time()[c("user.self", "sys.self")])
s <- 0; for (i in 0:9999999) s <- s + i * 0.5
cat(sum(proc.time()[c("user.self", "sys.self")]) - t, "\n")
