// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __DEEP_NESTING_H__

decl y;
decl z;

#else

extern decl x;
extern decl y;
extern decl z;

#endif //__DEEP_NESTING_H__

