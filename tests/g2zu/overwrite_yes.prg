/* Characters other than Y and N are passed over; y replaces the files */
x = 1;
