#include "BenchData.h"

#include "core/DataBase.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace bench {
namespace {

// splitmix64: small, fast and the same on every machine.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint32_t Below(std::uint32_t bound) { return static_cast<std::uint32_t>(Next() % bound); }
    bool Chance(std::uint32_t percent) { return Below(100) < percent; }

private:
    std::uint64_t state_;
};

// Windows-1252 bytes: \xE4 ä, \xF6 ö, \xFC ü, \xDF ß, \xDC Ü, \xC4 Ä.
const std::vector<std::string> Languages = {
    "Ansi C",       "Assembler",    "Basic",      "Borland Pascal",
    "C++",          "Fortran",      "Java",       "Object Pascal",
    "Turbo Pascal", "Visual Basic", "Visual C++", "Python",
    "Rust",         "Go",           "C#",         "JavaScript",
    "Haskell",      "Delphi",       "Kotlin",     "SQL",
    "Perl",         "Bash",         "TypeScript", "Modula-2"};
const std::vector<std::string> Categories = {"Eins-daneben-Fehler",
                                             "falscher logischer Ausdruck",
                                             "fehlerhafter Algorithmus",
                                             "Parameter verwechselt",
                                             "unber\xFC"
                                             "cksichtigter Spezialfall",
                                             "unerwarteter Routineneffekt",
                                             "vergessene Anweisung",
                                             "vertauschte Anweisungen",
                                             "Zeigerfehler",
                                             "\xDC"
                                             "berlauf",
                                             "Gr\xF6\xDF"
                                             "enfehler",
                                             "Nebenl\xE4ufigkeit",
                                             "Ressourcenleck",
                                             "Typumwandlung",
                                             "Zeichensatz (Umlaute \xE4\xF6\xFC)",
                                             "Rundungsfehler bei W\xE4hrungen"};
const std::vector<std::string> Words = {"Zeiger",
                                        "nicht",
                                        "gepr\xFC"
                                        "ft",
                                        "Schleife",
                                        "l\xE4uft",
                                        "einmal",
                                        "zu",
                                        "oft",
                                        "Gr\xF6\xDF"
                                        "e",
                                        "falsch",
                                        "berechnet",
                                        "Index",
                                        "au\xDF"
                                        "erhalb",
                                        "der",
                                        "Grenzen",
                                        "\xC4nderung",
                                        "vergessen",
                                        "Puffer",
                                        "\xFC"
                                        "bergelaufen",
                                        "Datei",
                                        "nie",
                                        "geschlossen",
                                        "Speicher",
                                        "freigegeben",
                                        "Vergleich",
                                        "mit",
                                        "=",
                                        "statt",
                                        "==",
                                        "Stra\xDF"
                                        "e",
                                        "M\xFC"
                                        "ller"};

std::vector<std::string> MakeProjects() {
    const std::array<const char*, 10> heads = {"B\xFC"
                                               "ro",
                                               "Lager",
                                               "Kasse",
                                               "Pr\xFC"
                                               "fstand",
                                               "Web",
                                               "Daten",
                                               "Stra\xDF"
                                               "en",
                                               "M\xFChlen",
                                               "Z\xE4hler",
                                               "Kunden"};
    const std::array<const char*, 6> tails = {"verwaltung", "portal",  "dienst",
                                              "-Import",    "-Export", "modul"};
    std::vector<std::string> projects;
    for (int i = 0; i < 300; ++i)
        projects.push_back(std::string(heads[static_cast<std::size_t>(i % 10)]) +
                           tails[static_cast<std::size_t>((i / 10) % 6)] + " " + std::to_string(i));
    return projects;
}

// Flips the letter case of ASCII letters only: the duplicate check folds
// exactly those, so the result still matches the original.
std::string VaryAsciiCase(const std::string& text, Random& random) {
    std::string varied = text;
    for (char& c : varied)
        if (((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && random.Chance(50))
            c = static_cast<char>(c ^ 0x20);
    return varied;
}

std::string Description(Random& random) {
    std::string text;
    const std::uint32_t words = random.Below(14);
    for (std::uint32_t w = 0; w < words; ++w) {
        if (w > 0)
            text += random.Chance(5) ? "\r\n" : " ";
        text += Words[random.Below(static_cast<std::uint32_t>(Words.size()))];
    }
    return text;
}

class Writer {
public:
    explicit Writer(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {
        if (!file_)
            throw std::runtime_error("cannot create " + path);
    }
    void Bytes(const void* data, std::size_t size) {
        buffer_.append(static_cast<const char*>(data), size);
        if (buffer_.size() >= (1u << 20))
            Flush();
    }
    void U32(std::uint32_t value) {
        const std::array<unsigned char, 4> b = {
            static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
            static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
        Bytes(b.data(), b.size());
    }
    void Double(double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        U32(static_cast<std::uint32_t>(bits));
        U32(static_cast<std::uint32_t>(bits >> 32));
    }
    void String(const std::string& text) {
        U32(static_cast<std::uint32_t>(text.size()));
        Bytes(text.data(), text.size());
    }
    void Flush() {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_.get()) != buffer_.size())
            throw std::runtime_error("write failed");
        bytes_ += buffer_.size();
        buffer_.clear();
    }
    // The bytes reach the disk before anything is measured, as a database
    // stored long ago has: no write-back of the new file competes with it.
    std::uint64_t Close() {
        Flush();
        if (std::fflush(file_.get()) != 0 || ::fsync(::fileno(file_.get())) != 0)
            throw std::runtime_error("fsync failed");
        if (std::fclose(file_.release()) != 0)
            throw std::runtime_error("close failed");
        return bytes_;
    }

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::string buffer_;
    std::uint64_t bytes_ = 0;
};

struct Identity {
    std::uint32_t language, category, project;
    double day;
    std::uint32_t minutes;
};

} // namespace

GeneratedFile WriteDatabaseFile(const std::string& path, std::uint32_t records,
                                std::uint64_t seed) {
    Random random(seed);
    const std::vector<std::string> projects = MakeProjects();
    // (day, minutes) pairs come from a fixed permutation, so entries that are
    // not meant as duplicates can never be identical.
    constexpr std::uint64_t Days = 9131; // 01.01.2000 to 31.12.2024
    constexpr std::uint64_t MinuteValues = 120;
    constexpr std::uint64_t Pairs = Days * MinuteValues; // above a million, coprime to Step
    constexpr std::uint64_t Step = 611953;
    constexpr double FirstDay = 36526.0; // 01.01.2000
    if (records > Pairs)
        throw std::runtime_error("too many records for distinct (day, minutes) pairs");

    Writer out(path);
    out.Bytes("#MLDB-MavrolinDataBase\r", 23);
    out.U32(records);

    std::vector<Identity> written;
    written.reserve(records);
    GeneratedFile result;
    result.records = records;
    std::uint64_t unique = 0;
    for (std::uint32_t i = 0; i < records; ++i) {
        if (!written.empty() && random.Chance(2)) {
            const Identity& original =
                written[random.Below(static_cast<std::uint32_t>(written.size()))];
            out.String(VaryAsciiCase(Languages[original.language], random));
            out.String(VaryAsciiCase(Categories[original.category], random));
            out.String(VaryAsciiCase(projects[original.project], random));
            out.Double(original.day + 0.1 + 0.8 * static_cast<double>(random.Below(1000)) / 1000.0);
            out.U32(original.minutes);
            out.String(Description(random));
            ++result.duplicates;
            continue;
        }
        const std::uint64_t pair = (unique++ * Step) % Pairs;
        Identity id{random.Below(static_cast<std::uint32_t>(Languages.size())),
                    random.Below(static_cast<std::uint32_t>(Categories.size())),
                    random.Below(static_cast<std::uint32_t>(projects.size())),
                    FirstDay + static_cast<double>(pair % Days),
                    static_cast<std::uint32_t>(1 + pair / Days)};
        written.push_back(id);
        // Some entries spell a language in other letter case ("JAVA", "c++"):
        // the value lists must find the listed value for them.
        const std::string& language = Languages[id.language];
        out.String(random.Chance(5) ? VaryAsciiCase(language, random) : language);
        out.String(Categories[id.category]);
        out.String(projects[id.project]);
        out.Double(id.day);
        out.U32(id.minutes);
        out.String(Description(random));
    }
    result.bytes = out.Close();
    return result;
}

std::optional<SizeOptions> ParseSizeOptions(int argc, char** argv, const char* program,
                                            int defaultRepeat) {
    SizeOptions options;
    options.repeat = defaultRepeat;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--entries" && i + 1 < argc)
            options.entries = static_cast<std::uint32_t>(std::stoul(argv[++i]));
        else if (arg == "--repeat" && i + 1 < argc)
            options.repeat = std::max(1, std::stoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: %s [--entries N] [--repeat R]\n", program);
            return std::nullopt;
        }
    }
    return options;
}

void LoadOrThrow(TDataBase& db, const std::string& path) {
    db.OnLoadError = [](const std::string& message) {
        throw std::runtime_error("load error: " + message);
    };
    db.FileName = path;
    db.Reload();
}

} // namespace bench
