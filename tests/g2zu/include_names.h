// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __INCLUDE_NAMES_H__

decl y;

#else

extern decl x;
extern decl y;

#endif //__INCLUDE_NAMES_H__

