// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __FAULT_SUPPORT_CALLS_H__

decl l;
decl u;
decl r;
decl e;

#else

extern decl x;
extern decl l;
extern decl u;
extern decl r;
extern decl e;

#endif //__FAULT_SUPPORT_CALLS_H__

f2(const x);
