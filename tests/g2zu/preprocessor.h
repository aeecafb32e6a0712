// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __PREPROCESSOR_H__

decl y;
decl z;
decl w;

#else

extern decl x;
extern decl y;
extern decl z;
extern decl w;

#endif //__PREPROCESSOR_H__

