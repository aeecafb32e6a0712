x = optmum(1);
show;
