x = eigv(1);
t = hsec;
