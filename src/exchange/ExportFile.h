#pragma once

#include <string>
#include <string_view>

// The file that an export writes. It is written under a temporary name beside
// the target and renamed over it only when complete, so that a failed export
// leaves a file of that name as it was. A target that is no regular file (a
// pipe, /dev/stdout) is written directly. Failures throw std::runtime_error
// with the German text of the file layer ("Dateizugriff verweigert", ...).
namespace exchange {

class ExportFile {
public:
    explicit ExportFile(std::string target);
    ~ExportFile(); // removes the temporary file unless committed
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    // Creates the file to write.
    void Open();
    // Where the contents go (the temporary file), for writers that open files
    // by name themselves.
    [[nodiscard]] const std::string& Path() const { return path_; }
    void Write(std::string_view bytes);
    // Flushes, closes and puts the file in place of the target.
    void Commit();

private:
    std::string target_;
    std::string path_;
    int fd_ = -1;
    bool direct_ = false;
    bool committed_ = false;
};

} // namespace exchange
