// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __CALLS_H__

decl k;
decl m;
decl d;
decl e;
decl s;
decl t;
decl p;
decl y;
decl title;

#else

extern decl x;
extern decl k;
extern decl m;
extern decl d;
extern decl e;
extern decl s;
extern decl t;
extern decl p;
extern decl y;
extern decl title;

#endif //__CALLS_H__

report(const v);
