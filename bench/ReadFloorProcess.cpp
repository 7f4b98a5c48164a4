// The scan's floor as a whole process, for start-up figures: reads every
// sub-directory of DIR once and exits. No Qt, so it adds next to nothing
// beyond the reading itself.

#include "ReadFloor.h"

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: bench_read_floor DIR\n", stderr);
        return 2;
    }
    return readEverySubdirectoryOnce(argv[1]) > 0 ? 0 : 1;
}
