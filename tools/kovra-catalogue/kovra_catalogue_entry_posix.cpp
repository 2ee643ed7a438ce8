// kovra-catalogue's entry point on a POSIX system: the arguments are bytes,
// taken as they are.
#include "tools/kovra-catalogue/kovra_catalogue_main.h"

int main(int argc, char** argv) {
    return RunCommand(argc, argv);
}
