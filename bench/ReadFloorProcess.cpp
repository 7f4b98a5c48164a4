// The scan's floor as a whole process, for start-up figures: reads every
// sub-directory of DIR once and exits; with --in-flight N, N listings at a
// time (the floor of a parallel reading of a share). No Qt, so it adds next
// to nothing beyond the reading itself.

#include "ReadFloor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[]) {
    if (argc == 4 && std::strcmp(argv[1], "--in-flight") == 0 && std::atoi(argv[2]) > 0)
        return readEverySubdirectoryInFlight(argv[3], std::atoi(argv[2])) > 0 ? 0 : 1;
    if (argc != 2) {
        std::fputs("usage: bench_read_floor [--in-flight N] DIR\n", stderr);
        return 2;
    }
    return readEverySubdirectoryOnce(argv[1]) > 0 ? 0 : 1;
}
