// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

extern decl x;
