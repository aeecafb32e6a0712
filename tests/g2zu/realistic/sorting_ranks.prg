// sorting_ranks.prg - sorting, ranks, unique values and order statistics
x = { 3.5 1, 1.25 2, 9 3, 1.25 4, 7 5, 2 6 };
s = sortc(x, 1);
? "sorted first column:";
? s[., 1]';
? "ties keep their order: " s[1,2] == 2 and s[2,2] == 4;
idx = sortind(x[., 1]);
? "sort index:";
? idx';
? "unique values:";
? unique(x[., 1], 1)';
? "median:  " median(x[., 1]);
? "largest at row:  " maxindc(x[., 1]);
? "smallest at row: " minindc(x[., 1]);
? "reversed:";
? rev(s[., 2])';
// ranks from the sort index
r = zeros(rows(idx), 1);
r[idx] = seqa(1, 1, rows(idx));
? "ranks:";
? r';
? "cumulative sums:";
? cumsumc(s[., 2])';
