/* the clock and its strings: only what does not change from run to run */
t0 = hsec;
d = date;
print (d[1] >= 2024) (hsec >= t0) rows(time);
print datestr(2024|3|7|0) " " timestr(9|5|3|0);
print strlen(datestr(0)) strlen(timestr(0));
