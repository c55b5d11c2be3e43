// snapfolio-cli: the album builder's engine driven from the command line.
#include "snapfolio/cli/run.h"

int main(int argc, char** argv) {
    return snapfolio::run_cli(argc, argv);
}
