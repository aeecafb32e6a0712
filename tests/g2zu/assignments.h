// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __ASSIGNMENTS_H__

decl total;
decl count;
decl a;
decl col;
decl z;
decl words;
decl one;
decl m;
decl labels;
decl c;
decl b;
decl f;
decl g;

#else

extern decl n;
extern decl rate;
extern decl name;
extern decl total;
extern decl count;
extern decl a;
extern decl col;
extern decl z;
extern decl words;
extern decl one;
extern decl m;
extern decl labels;
extern decl c;
extern decl b;
extern decl f;
extern decl g;
extern decl dm;
extern decl ds;
extern decl dq;
extern decl dn;
extern decl em1;
extern decl em2;
extern decl es;
extern decl cl1;

#endif //__ASSIGNMENTS_H__

