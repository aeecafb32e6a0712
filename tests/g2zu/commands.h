// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __COMMANDS_H__

decl m;
decl k;
decl w;
decl e;
decl f;
decl a;
decl b;

#else

extern decl m;
extern decl k;
extern decl w;
extern decl e;
extern decl f;
extern decl a;
extern decl b;

#endif //__COMMANDS_H__

