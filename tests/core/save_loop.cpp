// Test helper: a second program saving one database file over and over.
// Usage: core_save_loop <file> <entries> <saves>
// Builds a database of <entries> entries and saves it <saves> times; exits
// with 1 when a save fails.
#include "support/CoreTestUtil.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    TDataBase db;
    const unsigned entries = static_cast<unsigned>(std::atoi(argv[2]));
    for (unsigned i = 0; i < entries; ++i)
        db.AddRecord(coretest::Entry("C++", "Zeiger", "P", 40000.0, i, std::string(200, 'x')));
    db.FileName = argv[1];
    try {
        for (int i = std::atoi(argv[3]); i > 0; --i)
            db.Save();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
