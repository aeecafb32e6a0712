// report_strings.prg - a small results report built with string functions
names = "constant" $| "income" $| "price";
b = { 1.2345, 0.5678, -0.0912 };
se = { 0.1111, 0.0222, 0.0333 };

title = "Demand for widgets";
line = "";
for i(1, 40, 1);
    line = line $+ "-";
endfor;
print title;
print line;
for i(1, 3, 1);
    t = b[i] / se[i];
    row = sprintf("%-10s %8.4f %8.4f %8.2f", names[i], b[i], se[i], t);
    print row;
endfor;
print line;

// pieces of strings
s = "the quick brown fox";
print "length:        " strlen(s);
print "word 2:        " strsect(s, 5, 5);
print "fox found at:  " strindx(s, "fox", 1);
print "not found:     " strindx(s, "cat", 1);
print "upper:         " upper(s);
print "number back:   " stof("2.5") * 2;
print "formatted:     " ftos(pi, "pi = %*.*lf", 10, 6);
print "trimmed:       " (strtrim("   padded   ") $+ "|");
print "codes:         " vals("AZ")';
print "characters:    " chrs(72 | 105);
