/* Preprocessor lines */
#define NPAR 5
#define DEBUGGING
#ifdef DEBUGGING
x = 1;
#else
x = 2;
#endif
#iflight
y = 1;
#endif
#ifunix
z = 1;
#endif
#lineson
#srcline(12)
#undef NPAR
w = 1;
