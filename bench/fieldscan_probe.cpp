// The load floor as a program of its own, for the benchmarks that time a
// process: it scans the fields of the file named on its command line and
// prints how many it found. It links nothing but the C++ library.

#include "fieldscan.h"

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    const ScannedFields found = scanFields(argv[1]);
    std::printf("%zu fields, %zu bytes\n", found.fields, found.fieldBytes);
    return found.fields > 0 ? 0 : 1;
}
