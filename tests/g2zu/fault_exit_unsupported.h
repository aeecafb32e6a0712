// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __FAULT_EXIT_UNSUPPORTED_H__

decl t;

#else

extern decl x;
extern decl t;

#endif //__FAULT_EXIT_UNSUPPORTED_H__

