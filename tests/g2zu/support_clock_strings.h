// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __SUPPORT_CLOCK_STRINGS_H__

decl d;

#else

extern decl t0;
extern decl d;

#endif //__SUPPORT_CLOCK_STRINGS_H__

