/* Names defined in an included file reach neither the output nor the header */
#include include_names_lib.src
#include "lib/nested.src";
#include missing_file.g
x = libproc(2) + libvar;
y = nestedproc(x);
