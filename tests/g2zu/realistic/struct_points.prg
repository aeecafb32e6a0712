// struct_points.prg - structures: a definition, variables, members,
// a structure passed to and returned from procedures.
struct point {
    matrix x;
    matrix y;
    string label;
};

struct segment {
    struct point from;
    struct point to;
};

proc (1) = makepoint(x, y, label);
    struct point p;
    p.x = x;
    p.y = y;
    p.label = label;
    retp(p);
endp;

proc (1) = seglength(struct segment s);
    retp(sqrt((s.to.x - s.from.x)^2 + (s.to.y - s.from.y)^2));
endp;

struct point a;
a = makepoint(0, 0, "origin");
struct segment s;
s.from = a;
s.to = makepoint(3, 4, "corner");
print "from " s.from.label " to " s.to.label;
print "length: " seglength(s);

// structures are values: changing a copy leaves the original alone
struct point b;
b = a;
b.x = 10;
print "original x still 0: " (a.x == 0);
print "copy moved to 10:   " (b.x == 10);

// members may be matrices
struct point c;
c.x = seqa(1, 1, 3);
c.x[2] = 20;
print "member element: " c.x[2];
