// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __INDEXES_H__

decl i;
decl a;
decl b;
decl c;
decl d;
decl e;
decl f;
decl g;

#else

extern decl x;
extern decl i;
extern decl a;
extern decl b;
extern decl c;
extern decl d;
extern decl e;
extern decl f;
extern decl g;

#endif //__INDEXES_H__

