// header file written by G2Zu at HH:MM:SS on DD-MM-YYYY

g_range(const a, const b);
