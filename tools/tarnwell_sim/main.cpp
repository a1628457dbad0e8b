// tarnwell-sim: runs the package's programs on the simulated Windows machine
// and prints what happens, in virtual time. See tools/tarnwell_sim/README.md.
#include <unistd.h>

#include <iostream>

#include "tools/tarnwell_sim/tool.h"

int main(int argc, char** argv) {
    return tw::tarnwell_sim::RunTool(argc, argv, std::cout, std::cerr,
                                     ::isatty(STDERR_FILENO) == 1);
}
