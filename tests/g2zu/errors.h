// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __ERRORS_H__

decl s;
decl u;
decl v;
decl w;

#else

extern decl x;
extern decl s;
extern decl u;
extern decl v;
extern decl w;

#endif //__ERRORS_H__

p1(const x);
p2(const y);
p3(const z);
g_rows(const x);
