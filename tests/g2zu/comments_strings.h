// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

extern decl x;
extern decl y;
extern decl s1;
extern decl s2;
extern decl s3;
extern decl s4;
extern decl a;
extern decl b;
extern decl c;
