/* gamma, beta and Poisson draws: their means within a few standard errors */
rndseed 5;
print (abs(meanc(rndgam(20000,1,3)) - 3) < 0.1) (abs(meanc(rndbeta(20000,1,2,6)) - 0.25) < 0.01) (abs(meanc(rndp(20000,1,4)) - 4) < 0.1);
