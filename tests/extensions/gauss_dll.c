/* Functions for the dlibrary and dllcall statements of Gauss programs:
 * plain C taking a pointer to the data of each argument. */
#define EXPORT __attribute__((visibility("default")))

/* Doubles the first n elements of x; returns 7. */
EXPORT int scale2(double* x, const double* n) {
    for (int i = 0; i < (int)*n; ++i) x[i] *= 2;
    return 7;
}

/* The sum of the character codes of a text into *out. */
EXPORT int codesum(const char* s, double* out) {
    *out = 0;
    for (; *s; ++s) *out += (unsigned char)*s;
    return 0;
}
