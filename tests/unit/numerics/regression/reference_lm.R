# The correct digits that R's lm reaches on the problems of problems.txt,
# for comparison with the table that the regression accuracy test prints.
# Not part of the test run: "Rscript reference_lm.R" in this folder, with
# r-base-core installed.  lm runs with its default tolerance (1e-7), and
# where that drops a regressor, again with tol = 1e-12.
lines <- readLines("problems.txt")
digits <- function(got, exact) {
  e <- abs(got - exact) / abs(exact)
  ifelse(e == 0, 17, pmin(17, -log10(e)))
}
values <- function(line) as.numeric(strsplit(line, " ")[[1]][-1])
cat(sprintf("%-22s %6s %6s %6s %6s  %s\n", "problem", "b", "se", "s", "R2", "lm tol"))
i <- 1
while (i <= length(lines)) {
  head <- strsplit(lines[i], " ")[[1]]
  if (head[1] != "problem") { i <- i + 1; next }
  T <- as.integer(head[3]); k <- as.integer(head[4]); intercept <- head[5] == "1"
  data <- t(sapply(lines[(i + 1):(i + T)], function(l) as.numeric(strsplit(l, " ")[[1]]),
                   USE.NAMES = FALSE))
  y <- data[, 1]; x <- data[, -1, drop = FALSE]
  b <- values(lines[i + T + 1]); se <- values(lines[i + T + 2])
  s <- values(lines[i + T + 3]); r2 <- values(lines[i + T + 4])
  for (tol in c(1e-7, 1e-12)) {
    fit <- if (intercept) lm(y ~ x[, -1], tol = tol) else lm(y ~ x - 1, tol = tol)
    if (any(is.na(coef(fit))) && tol > 1e-12) next
    sm <- summary(fit)
    cat(sprintf("%-22s %6.1f %6.1f %6.1f %6.1f  %g\n", head[2],
                min(digits(coef(fit), b)), min(digits(sm$coefficients[, 2], se)),
                digits(sm$sigma, s), digits(sm$r.squared, r2), tol))
    break
  }
  i <- i + T + 5
}
