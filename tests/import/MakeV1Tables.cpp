// make_v1_tables FOLDER: writes the sample tables of the previous program
// generation (see WriteSampleTables) into FOLDER, for trying the imports by
// hand and as seeds of the table reader's fuzz target.

#include "import/ParadoxWriter.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_v1_tables FOLDER\n");
        return 2;
    }
    try {
        vaskel::test::WriteSampleTables(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_v1_tables: %s\n", e.what());
        return 1;
    }
    return 0;
}
