// The converter's entry: converts the Gauss file named on the command line.
#pragma once

namespace g2zu {

// The process exit status: 0 when the conversion finished without a
// counted error, 1 otherwise.
int run(int argc, char** argv);

}  // namespace g2zu
