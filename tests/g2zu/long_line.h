// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __LONG_LINE_H__

decl g_short;
decl text;

#else

extern decl total;
extern decl g_short;
extern decl text;

#endif //__LONG_LINE_H__

