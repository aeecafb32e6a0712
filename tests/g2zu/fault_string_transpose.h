// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __FAULT_STRING_TRANSPOSE_H__

decl x;

#else

extern decl codes;
extern decl x;

#endif //__FAULT_STRING_TRANSPOSE_H__

