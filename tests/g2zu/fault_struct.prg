struct pair {
    matrix a;
    string name;
};
struct pair p;
p.a = 5;
p.name = "five";
print p.name " " p.a;
