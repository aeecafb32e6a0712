// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __FAULT_SELIF_EMPTY_H__

decl z;

#else

extern decl x;
extern decl y;
extern decl z;

#endif //__FAULT_SELIF_EMPTY_H__

