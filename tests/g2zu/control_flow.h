// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __CONTROL_FLOW_H__

decl j;

#else

extern decl i;
extern decl j;

#endif //__CONTROL_FLOW_H__

