// g2zu: converts a Gauss program into Zu source.
#include "driver.h"

int main(int argc, char** argv) { return g2zu::run(argc, argv); }
