// The program's start with a generated database of a million entries stored
// as the user's database: from the start of a fresh process to the first paint
// of the record list with its rows, offscreen. Each start is a process of its
// own (this program run again), so nothing is warm but the page cache, as when
// a user starts the program a second time (an untimed start comes first).
//
//   bench_start [--entries N] [--repeat R]
#include "BenchData.h"
#include "BenchSupport.h"
#include "gui/MainForm.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QEvent>
#include <QTableView>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr char User[] = "bench";

// Prints the time since the process began and ends it once the list has
// painted rows; the queued call runs after the paint is done.
class FirstPaintProbe : public QObject {
public:
    FirstPaintProbe(QTableView& list, bench::Stopwatch& clock) : list_(list), clock_(clock) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && list_.model() && list_.model()->rowCount() > 0 &&
            !painted_) {
            painted_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    std::printf("%.6f %d\n", clock_.Seconds(), list_.model()->rowCount());
                    std::fflush(stdout);
                    std::_Exit(0);
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTableView& list_;
    bench::Stopwatch& clock_;
    bool painted_ = false;
};

// The user's settings naming `file` as the database of the last run (with the
// options value, without which the key reads as a first start).
void WriteSettings(const std::string& configFolder, const std::string& file) {
    std::filesystem::create_directories(configFolder + "/Mavrolin");
    std::ofstream out(configFolder + "/Mavrolin/registry.reg", std::ios::binary);
    out << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Orbelon\\Mavrolin\\" << User
        << "]\r\n\"database\"=\"" << file << "\"\r\n\"options\"=dword:00000002\r\n";
    if (!out.flush())
        throw std::runtime_error("cannot write the settings");
}

// One start of the program in this process, as far as the first paint.
int RunStart(int argc, char** argv, bench::Stopwatch& clock) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mavrolin"));
    TMainForm form;
    form.FormCreate(User);
    auto* list = form.findChild<QTableView*>(QStringLiteral("ListView"));
    FirstPaintProbe probe(*list, clock);
    list->viewport()->installEventFilter(&probe);
    form.show();
    QApplication::exec();
    return 1; // the probe ends the process
}

} // namespace

int main(int argc, char** argv) {
    bench::Stopwatch clock; // first thing of the process
    try {
        if (argc == 2 && std::string(argv[1]) == "--start")
            return RunStart(1, argv, clock);
        const std::optional<bench::SizeOptions> options =
            bench::ParseSizeOptions(argc, argv, "bench_start", 5);
        if (!options)
            return 2;

        bench::TempDir dir;
        const std::string file = dir.File("fehler.mvd");
        bench::WriteDatabaseFile(file, options->entries);
        setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
        setenv("XDG_STATE_HOME", dir.File("state").c_str(), 1);
        WriteSettings(dir.File("config"), file);
        const std::string self = bench::SelfPath();

        // One start first, not counted: it brings the program's libraries and
        // the database into the page cache and writes the user's recent files,
        // as every start after a user's first does.
        bench::RunAndCapture("'" + self + "' --start");
        std::vector<double> starts; // whole process, measured here
        std::vector<double> inside; // from the process's first line
        std::string rows;
        for (int i = 0; i < options->repeat; ++i) {
            char listed[32] = {};
            double seconds = 0;
            const bench::Stopwatch process;
            const std::string line = bench::RunAndCapture("'" + self + "' --start");
            starts.push_back(process.Seconds());
            if (std::sscanf(line.c_str(), "%lf %31s", &seconds, listed) != 2)
                throw std::runtime_error("no first paint: " + line);
            inside.push_back(seconds);
            rows = listed;
        }
        std::printf("Start mit der gespeicherten Datenbank (%s Eintr\u00E4ge gelistet)\n",
                    rows.c_str());
        bench::PrintRow("  bis zum ersten Zeichnen der Liste, Median", bench::Median(starts), "s",
                        options->Full() ? 0.5 : 0);
        bench::PrintRow("  davon ab der ersten Zeile des Programms", bench::Median(inside), "s", 0);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_start: %s\n", e.what());
        return 1;
    }
}
