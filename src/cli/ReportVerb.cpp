#include "cli/DatabaseSession.h"
#include "cli/EntryList.h"
#include "cli/Verbs.h"
#include "core/Errors.h"
#include "report/ReportFile.h"

#include <QDate>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <ostream>
#include <sys/stat.h>

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Qt's own notes (e.g. about a missing runtime folder) are no business of
// mvd's users; only its failures are.
void QuietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "mvd: %s\n", message.toLocal8Bit().constData());
}

// Painting text needs the fonts of a QGuiApplication; the offscreen platform
// gives them without a display.
std::unique_ptr<QGuiApplication> OffscreenApplication() {
    qInstallMessageHandler(QuietQt);
    static int argc = 3;
    static char name[] = "mvd";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

int RunReport(const Verb& verb, std::ostream& /*out*/, std::ostream& err) {
    const ReportSettings& settings = verb.report;
    if (SameFile(verb.file, settings.output)) {
        err << "mvd: Die Ausgabedatei ist die Datenbank selbst; sie wurde nicht "
               "\u00FCberschrieben.\n";
        return 1;
    }
    DatabaseSession session(err);
    // As with `export`, the entries read before a load error are reported.
    const bool loaded = session.Open(verb.file);
    const std::vector<const TDataRecord*> entries = AllEntries(session.db);

    std::unique_ptr<QGuiApplication> application;
    if (settings.format == report::ReportFormat::Pdf && !QGuiApplication::instance())
        application = OffscreenApplication();
    report::ReportHeading heading;
    heading.database = QFileInfo(QFile::decodeName(verb.file.c_str())).fileName();
    heading.selection = QStringLiteral("alle Eintr\u00E4ge der Datenbank");
    heading.created = QDate::currentDate();
    try {
        report::WriteReport(session.db, entries, settings.period, heading, settings.format,
                            settings.output);
    } catch (const std::exception& e) {
        err << "mvd: " << settings.output << ": " << GeneralReportText(e.what()) << '\n';
        return 1;
    }
    return loaded ? 0 : 1;
}
