/*
** string_table.prg - lists of names: LET with words, string arrays,
** case conversion and lengths.
*/
let string months = jan feb mar apr;
let names = "alpha" "beta" "gamma";
declare string sep = ", ";
out = "";
for i (1, rows(names), 1);
    if i > 1;
        out = out $+ sep;
    endif;
    out = out $+ upper(names[i]);
endfor;
print out;
print "number of months: " rows(months);
print "third month:      " months[3];
print "lengths:          " strlen(names[1]) strlen(names[2]) strlen(names[3]);
if names[2] $== "beta";
    print "string comparison works";
endif;
s = "Mixed Case";
print lower(s) " / " upper(s);
print "all months:";
print months;
