// Loads arbitrary bytes as a database file, saves what was loaded, loads the
// saved file again and aborts when the two databases differ in any entry,
// value list or message. The files live in memory: the loader and the writer
// run as on disk, without the cost of files and flushes.

#include "core/DataBase.h"
#include "fileio/FileIO.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool SameEntries(const TDataBase& a, const TDataBase& b) {
    if (a.Count() != b.Count())
        return false;
    for (int i = 0; i < a.Count(); ++i) {
        const TDataRecord& x = *a.GetRecord(i);
        const TDataRecord& y = *b.GetRecord(i);
        if (x.Language() != y.Language() || x.ErrorType() != y.ErrorType() ||
            x.Project() != y.Project() || x.Description() != y.Description() ||
            x.TimeNeeded != y.TimeNeeded || x.ID != y.ID || x.Hidden != y.Hidden ||
            std::memcmp(&x.Date, &y.Date, sizeof x.Date) != 0)
            return false;
        for (std::uint8_t k = 0; k <= 5; ++k)
            if (x.FieldText(k) != y.FieldText(k))
                return false;
    }
    return true;
}

// Same values in the same order with the same use counts; every value of the
// first list is found at its own position.
bool SameList(const TValueList& a, const TValueList& b) {
    if (a.Count() != b.Count())
        return false;
    for (int i = 0; i < a.Count(); ++i)
        if (a.Value(i) != b.Value(i) || a.UseCount(i) != b.UseCount(i) ||
            a.IndexOf(a.Value(i)) != i)
            return false;
    return true;
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

// AddressSanitizer keeps freed memory in quarantine to catch a late use after
// free: 256 MB by default, which made the resident memory of a run of small
// inputs grow to that size. A run frees far less than 32 MB.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=32";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fileio::MemoryFiles files;
    // Both databases live across runs: Reload starts each run from a new
    // database, as it does for the program's "open".
    static TDataBase first;
    static TDataBase second;
    fileio::UseMemoryFiles(&files);
    const std::string input = "input.mvd";
    const std::string saved = "saved.mvd";
    files[input].assign(reinterpret_cast<const char*>(data), size);

    first.FileName = input;
    const LoadReport firstLoad = first.Reload();
    if (firstLoad.Added != static_cast<std::uint64_t>(first.Count()))
        Fail("the report does not count the entries added");

    first.FileName = saved;
    first.Save();
    if (first.Modified)
        Fail("a save left the database modified");

    second.FileName = saved;
    const LoadReport secondLoad = second.Reload();
    if (!secondLoad.Error.empty() || secondLoad.Duplicates != 0 || !SameEntries(first, second) ||
        !SameList(first.Languages, second.Languages) ||
        !SameList(first.ErrorTypes, second.ErrorTypes) ||
        !SameList(first.Projects, second.Projects)) {
        std::fprintf(stderr, "first error '%s', second error '%s'\n", firstLoad.Error.c_str(),
                     secondLoad.Error.c_str());
        Fail("the saved file loads differently");
    }

    // Importing the saved file into itself adds nothing.
    const LoadReport import = second.LoadFromFile(saved);
    if (second.Modified || second.Count() != first.Count() || import.Added != 0 ||
        import.Duplicates != static_cast<std::uint64_t>(first.Count()))
        Fail("importing the own file changed the database");

    // Deleting every entry leaves exactly the default lists' survivors unused.
    // From the front: the search for an ID then stops at once.
    while (second.Count() > 0)
        second.DeleteRecord(second.GetRecord(0)->ID);
    if (second.Projects.Count() != 0)
        Fail("a project outlived its entries");

    // What a run allocates is freed in the same run, or libFuzzer suspects a
    // leak and runs the input again.
    first.Clear();
    second.Clear();
    files.clear();
    return 0;
}
