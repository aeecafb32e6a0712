/* With two arguments the output name gives the Zu file, its log and its
   header, and the header guard comes from the header's name. */
total = 0;
for i (1, 3, 1);
    total = total + i;
endfor;
print total;
