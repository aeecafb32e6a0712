x = eigv(1);
show;
