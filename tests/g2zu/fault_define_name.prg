#define LIMIT 10
print LIMIT * 2;
