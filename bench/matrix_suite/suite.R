# The matrix suite in R: one test a run, named by the first argument; a
# second argument "setup" stops before the timed operation.
args <- commandArgs(trailingOnly = TRUE)
name <- args[1]
full <- length(args) < 2 || args[2] != "setup"
gcd2 <- function(x, y) { if (sum(y > 0) == 0) x else { y[y == 0] <- x[y == 0]; Recall(y, x %% y) } }
r <- switch(name,
  create = { a <- matrix(rnorm(3000 * 3000) / 10, ncol = 3000); if (full) { b <- t(a); dim(b) <- c(1500, 6000); b <- t(b) }; 0 },
  power = { a <- abs(matrix(rnorm(3000 * 3000) / 2, ncol = 3000)); if (full) b <- a^1000; 0 },
  sort = { a <- runif(7000000); if (full) b <- sort(a, method = "quick"); 0 },
  crossprod = { a <- matrix(rnorm(4000 * 4000), ncol = 4000); if (full) b <- crossprod(a); 0 },
  regression = { a <- matrix(rnorm(3400 * 3400), ncol = 3400); b <- rnorm(3400); if (full) x <- solve(a, b); 0 },
  fft = { a <- rnorm(2400000); if (full) b <- fft(a); 0 },
  eigen = { a <- matrix(rnorm(1000 * 1000), ncol = 1000); if (full) b <- eigen(a, symmetric = FALSE, only.values = TRUE)$values; 0 },
  determinant = { a <- matrix(rnorm(5000 * 5000), ncol = 5000); if (full) b <- det(a); 0 },
  choleski = { a <- crossprod(matrix(rnorm(6000 * 6000), ncol = 6000)); if (full) b <- chol(a); 0 },
  inverse = { a <- matrix(rnorm(3000 * 3000), ncol = 3000); if (full) b <- solve(a); 0 },
  fibonacci = { a <- floor(runif(10000000) * 1000); if (full) { phi <- 1.6180339887498949; b <- (phi^a - (-phi)^(-a)) / sqrt(5) }; 0 },
  hilbert = { n <- 4500; if (full) { a <- rep(1:n, n); dim(a) <- c(n, n); b <- 1 / (t(a) + 0:(n - 1)) }; 0 },
  gcd = { a <- ceiling(runif(1000000) * 1000); b <- ceiling(runif(1000000) * 1000); if (full) x <- gcd2(a, b); 0 },
  toeplitz = { n <- 1500; if (full) { b <- matrix(0, n, n); for (j in 1:n) for (i in 1:n) b[i, j] <- abs(i - j) + 1 }; 0 },
  escoufier = {
    x <- abs(matrix(rnorm(60 * 60), ncol = 60))
    if (full) {
      p <- ncol(x); vt <- 1:p; vr <- NULL; RV <- 1:p; vrt <- NULL
      for (j in 1:p) {
        Rvmax <- 0
        for (k in 1:(p - j + 1)) {
          x2 <- cbind(x, x[, vr], x[, vt[k]])
          R <- cor(x2)
          Ryy <- R[1:p, 1:p]
          Rxx <- R[(p + 1):(p + j), (p + 1):(p + j)]
          Rxy <- R[(p + 1):(p + j), 1:p]
          Ryx <- t(Rxy)
          rvt <- sum(diag(Ryx %*% Rxy)) / sqrt(sum(diag(Ryy %*% Ryy)) * sum(diag(Rxx %*% Rxx)))
          if (rvt > Rvmax) { Rvmax <- rvt; vrt <- vt[k] }
        }
        vr[j] <- vrt; RV[j] <- Rvmax; vt <- vt[vt != vr[j]]
      }
    }
    0 },
  none = 0)
