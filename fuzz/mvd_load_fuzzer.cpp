// Loads arbitrary bytes as a database file, saves what was loaded, loads the
// saved file again and aborts when the two databases differ in any entry,
// value list or message. Files live in a private scratch folder.

#include "DataBase.h"
#include "FileIO.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

const std::string& ScratchDir() {
    static const std::string dir = [] {
        char pattern[] = "/dev/shm/mvd_fuzz.XXXXXX";
        const char* made = ::mkdtemp(pattern);
        if (!made)
            std::abort();
        return std::string(made);
    }();
    return dir;
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        std::abort();
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0)
            std::abort();
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    ::close(fd);
}

bool SameEntries(const TDataBase& a, const TDataBase& b) {
    if (a.Count() != b.Count())
        return false;
    for (int i = 0; i < a.Count(); ++i) {
        const TDataRecord& x = *a.GetRecord(i);
        const TDataRecord& y = *b.GetRecord(i);
        if (x.Language != y.Language || x.ErrorType != y.ErrorType || x.Project != y.Project ||
            x.Description != y.Description || x.TimeNeeded != y.TimeNeeded || x.ID != y.ID ||
            x.Hidden != y.Hidden || std::memcmp(&x.Date, &y.Date, sizeof x.Date) != 0)
            return false;
        for (std::uint8_t k = 0; k <= 5; ++k)
            if (x.FieldText(k) != y.FieldText(k))
                return false;
    }
    return true;
}

bool SameList(const TValueList& a, const TValueList& b) {
    if (a.Count() != b.Count())
        return false;
    for (int i = 0; i < a.Count(); ++i)
        if (a.Value(i) != b.Value(i) || a.UseCount(i) != b.UseCount(i) ||
            a.IndexOf(a.Value(i)) != i)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fileio::SetDurable(false);
    const std::string input = ScratchDir() + "/input.mvd";
    const std::string saved = ScratchDir() + "/saved.mvd";
    WriteFile(input, data, size);

    TDataBase first;
    std::string firstError;
    first.OnLoadError = [&](const std::string& m) { firstError = m; };
    first.FileName = input;
    first.Reload();

    first.FileName = saved;
    first.Save();
    if (first.Modified)
        std::abort();

    TDataBase second;
    std::string secondError;
    second.OnLoadError = [&](const std::string& m) { secondError = m; };
    second.FileName = saved;
    second.Reload();

    if (!secondError.empty() || !SameEntries(first, second) ||
        !SameList(first.Languages, second.Languages) ||
        !SameList(first.ErrorTypes, second.ErrorTypes) ||
        !SameList(first.Projects, second.Projects)) {
        std::fprintf(stderr, "reload differs: first error '%s', second error '%s'\n",
                     firstError.c_str(), secondError.c_str());
        std::abort();
    }

    // Importing the saved file into itself adds nothing.
    second.LoadFromFile(saved);
    if (second.Modified || second.Count() != first.Count())
        std::abort();

    // Deleting every entry leaves exactly the default lists' survivors unused.
    while (second.Count() > 0)
        second.DeleteRecord(second.GetRecord(second.Count() - 1)->ID);
    if (second.Projects.Count() != 0)
        std::abort();
    return 0;
}
