#include "versions/VersionIndex.h"

#include "fileio/Leftovers.h"
#include "versions/StepFaults.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace versions {
namespace {

constexpr std::string_view kHeader = "mavrolin versions index 1";

template <typename T> bool ParseNumber(std::string_view text, T& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// One line "name size changedNs inode entries" (tab-separated) into `index`.
void ParseLine(std::string_view line, Index& index) {
    std::vector<std::string_view> fields;
    while (true) {
        const auto tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos)
            break;
        line.remove_prefix(tab + 1);
    }
    IndexEntry entry;
    if (fields.size() != 5 || fields[0].empty() || !ParseNumber(fields[1], entry.size) ||
        !ParseNumber(fields[2], entry.changedNs) || !ParseNumber(fields[3], entry.inode) ||
        !ParseNumber(fields[4], entry.entries) || entry.entries < -1)
        return;
    index.insert_or_assign(std::string(fields[0]), entry);
}

int WriteAllOf(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

} // namespace

Index ReadIndex(const std::string& folder) {
    Index index;
    const int fd = ::open((folder + "/" + IndexFileName).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return index;
    std::string text;
    char buffer[16384];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    std::string_view rest = text;
    bool first = true;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        if (end == std::string_view::npos)
            break; // a cut-off last line is left out
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end + 1);
        if (first && line != kHeader)
            return {};
        if (!first && line.substr(0, 5) != "path\t")
            ParseLine(line, index);
        first = false;
    }
    return index;
}

namespace {

std::string HeaderText(const std::string& databaseFile) {
    std::string text(kHeader);
    text += "\npath\t";
    for (const char c : databaseFile)
        text += c == '\n' || c == '\t' ? ' ' : c;
    text += '\n';
    return text;
}

std::string LineText(const std::string& name, const IndexEntry& entry) {
    char line[160];
    std::snprintf(
        line, sizeof line, "\t%llu\t%lld\t%llu\t%lld\n",
        static_cast<unsigned long long>(entry.size), static_cast<long long>(entry.changedNs),
        static_cast<unsigned long long>(entry.inode), static_cast<long long>(entry.entries));
    return name + line;
}

} // namespace

int WriteIndex(const std::string& folder, const std::string& databaseFile, const Index& index) {
    if (const int err = InjectedFault(Step::IndexFile))
        return err;
    std::string text = HeaderText(databaseFile);
    for (const auto& [name, entry] : index)
        text += LineText(name, entry);
    // A temporary file of the file layer's pattern, locked while written, so
    // that the leftovers of a killed writer are removed as a save's are.
    const std::string target = folder + "/" + IndexFileName;
    fileio::RemoveLeftovers(target);
    std::string path = fileio::TempTemplate(target);
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0)
        return errno;
    int err = ::flock(fd, LOCK_EX) == 0 ? 0 : errno;
    if (err == 0)
        err = WriteAllOf(fd, text);
    if (err == 0 && ::fchmod(fd, 0600) != 0)
        err = errno;
    if (err == 0 && ::rename(path.c_str(), target.c_str()) != 0)
        err = errno;
    if (err != 0)
        ::unlink(path.c_str());
    ::close(fd);
    return err;
}

int AppendToIndex(const std::string& folder, const std::string& databaseFile,
                  const std::string& name, const IndexEntry& entry) {
    if (const int err = InjectedFault(Step::IndexFile))
        return err;
    const int fd = ::open((folder + "/" + IndexFileName).c_str(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    struct stat st {};
    int err = ::fstat(fd, &st) == 0 ? 0 : errno;
    if (err == 0)
        err = WriteAllOf(fd, (st.st_size == 0 ? HeaderText(databaseFile) : std::string()) +
                                 LineText(name, entry));
    ::close(fd);
    return err;
}

bool Fits(const IndexEntry& entry, std::uint64_t size, std::int64_t changedNs,
          std::uint64_t inode) {
    return entry.size == size && entry.changedNs == changedNs && entry.inode == inode;
}

} // namespace versions
