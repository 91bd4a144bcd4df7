// Reads arbitrary bytes as a settings file. A text that parses is written back
// and parsed again: the two trees must agree, and writing the second tree
// must give the same text again. A text that does not parse must say why.

#include "settings/RegFileFormat.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

// See mvd_load_fuzzer.cpp for the quarantine. The sanitizer also keeps every
// distinct allocation stack for good; through Qt, built without frame
// pointers, the fast unwinder records ever new ones and the resident memory
// grew without end. Two frames name the allocating call; run a finding again
// with ASAN_OPTIONS=malloc_context_size=30 for whole stacks.
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=32:malloc_context_size=2";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace regfile = settings::regfile;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    const auto tree = regfile::Parse(bytes, &error);
    if (!tree) {
        if (error.isEmpty())
            Fail("a refused text without a reason");
        return 0;
    }
    const QByteArray written = regfile::Write(*tree);
    const auto again = regfile::Parse(written, &error);
    if (!again) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        Fail("the written text does not parse");
    }
    if (!(*again == *tree))
        Fail("the written text parses to another tree");
    if (regfile::Write(*again) != written)
        Fail("writing the tree again gives another text");
    return 0;
}
