# (c) set every element of a 1000 by 1000 matrix by index, then sum it
t <- sum(proc.time()[c("user.self", "sys.self")])
m <- matrix(0, 1000, 1000)
for (i in 1:1000) for (j in 1:1000) m[i, j] <- i + j - 2
s <- 0; for (i in 1:1000) for (j in 1:1000) s <- s + m[i, j]
cat(sum(proc.time()[c("user.self", "sys.self")]) - t, "\n")
