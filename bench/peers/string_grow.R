# (e) a string grown by 10^5 concatenations
t <- sum(proc.time()[c("user.self", "sys.self")])
s <- ""; for (i in 1:100000) s <- paste0(s, "x")
cat(sum(proc.time()[c("user.self", "sys.self")]) - t, "\n")
