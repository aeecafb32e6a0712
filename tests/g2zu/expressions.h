// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

#ifdef __EXPRESSIONS_H__

decl x;
decl r1;
decl r2;
decl r3;
decl r4;
decl r5;
decl r6;
decl r7;
decl r8;
decl r9;
decl r10;
decl r11;
decl r12;
decl r13;
decl r14;
decl r15;
decl r16;
decl r17;
decl r18;
decl r19;
decl r20;

#else

extern decl a;
extern decl b;
extern decl c;
extern decl x;
extern decl r1;
extern decl r2;
extern decl r3;
extern decl r4;
extern decl r5;
extern decl r6;
extern decl r7;
extern decl r8;
extern decl r9;
extern decl r10;
extern decl r11;
extern decl r12;
extern decl r13;
extern decl r14;
extern decl r15;
extern decl r16;
extern decl r17;
extern decl r18;
extern decl r19;
extern decl r20;

#endif //__EXPRESSIONS_H__

