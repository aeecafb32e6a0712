// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __PROCEDURES_H__

decl r;
decl z;

#else

extern decl p;
extern decl q;
extern decl r;
extern decl z;

#endif //__PROCEDURES_H__

split(a, const b);
twice(const x);
display(x, const y);
nothing();
announce(const str);
square(const x);
add3(const a, const b, const c);
many(const a1, const a2, const a3, const a4, const a5, const a6, const a7, const a8, const a9, const a10, const a11, const a12, const a13, const a14, const a15, const a16, const a17, const a18, const a19, const a20, a21, a22);
