// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __SUPPORT_SHARED_GAUSS_H__

decl x;
decl r;
decl e;
decl d;

#else

extern decl singular;
extern decl x;
extern decl r;
extern decl e;
extern decl d;

#endif //__SUPPORT_SHARED_GAUSS_H__

