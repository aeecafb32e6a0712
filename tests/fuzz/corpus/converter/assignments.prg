/* First assignments at file level become declarations with their value;
   later ones, and those inside a run of statements, are plain assignments. */
n = 10;
rate = 0.05;
name = "sample";
n = 20;
total = n * rate;
n = 30;
count = 5;

/* let and constants */
let a[2,2] = 1 2 3 4;
let col = 1 2 3;
let z[3,2] = 0;
let words = alpha beta;
let one = 7;
m = { 1 -2, 3 . };
labels = { "a" "b" "c" };
c = { 1 2i 3 };
let b[2,3] = 1;
let f[2,2] = 2.5;
let g[2,2] = 0;
n = -4;

declare matrix dm = 3;
declare string ds;
declare matrix dq ?= 1;
declare dn;
external matrix em1, em2;
external string es;
external proc ep;
clear cl1, n;
