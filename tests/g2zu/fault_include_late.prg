x = 1;
#include fault_include_late_lib.src
print helper(x);
