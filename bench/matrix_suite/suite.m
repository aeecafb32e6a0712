% The matrix suite in Octave: one test a run, named by the first argument;
% a second argument "setup" stops before the timed operation.
1;
function r = gcd2(x, y)
  if sum(y > 0) == 0
    r = x;
  else
    z = y == 0; y(z) = x(z);
    r = gcd2(y, mod(x, y));
  end
end
args = argv();
name = args{1};
full = numel(args) < 2 || ~strcmp(args{2}, 'setup');
switch name
  case 'create'
    a = randn(3000, 3000) / 10; if full, b = a'; b = reshape(b, 1500, 6000); b = b'; end
  case 'power'
    a = abs(randn(3000, 3000) / 2); if full, b = a .^ 1000; end
  case 'sort'
    a = rand(7000000, 1); if full, b = sort(a); end
  case 'crossprod'
    a = randn(4000, 4000); if full, b = a' * a; end
  case 'regression'
    a = randn(3400, 3400); b = randn(3400, 1); if full, x = a \ b; end
  case 'fft'
    a = randn(2400000, 1); if full, b = fft(a); end
  case 'eigen'
    a = randn(1000, 1000); if full, b = eig(a); end
  case 'determinant'
    a = randn(5000, 5000); if full, b = det(a); end
  case 'choleski'
    a = randn(6000, 6000); a = a' * a; if full, b = chol(a); end
  case 'inverse'
    a = randn(3000, 3000); if full, b = inv(a); end
  case 'fibonacci'
    a = floor(1000 * rand(10000000, 1));
    if full, phi = 1.6180339887498949; b = (phi .^ a - (-phi) .^ (-a)) / sqrt(5); end
  case 'hilbert'
    n = 4500; if full, b = 1 ./ ((1:n)' + (1:n) - 1); end
  case 'gcd'
    a = ceil(1000 * rand(1000000, 1)); b = ceil(1000 * rand(1000000, 1)); if full, x = gcd2(a, b); end
  case 'toeplitz'
    n = 1500;
    if full, b = zeros(n, n); for j = 1:n, for i = 1:n, b(i, j) = abs(i - j) + 1; end, end, end
  case 'escoufier'
    x = abs(randn(60, 60));
    if full
      p = columns(x); vt = 1:p; vr = []; RV = 1:p; vrt = 0;
      for j = 1:p
        Rvmax = 0;
        for k = 1:(p - j + 1)
          x2 = [x, x(:, vr), x(:, vt(k))];
          R = corr(x2);
          Ryy = R(1:p, 1:p); Rxx = R(p+1:p+j, p+1:p+j); Rxy = R(p+1:p+j, 1:p); Ryx = Rxy';
          rvt = trace(Ryx * Rxy) / sqrt(trace(Ryy * Ryy) * trace(Rxx * Rxx));
          if rvt > Rvmax, Rvmax = rvt; vrt = vt(k); end
        end
        vr(j) = vrt; RV(j) = Rvmax; vt(vt == vr(j)) = [];
      end
    end
  case 'none'
end
