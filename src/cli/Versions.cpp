#include "cli/Versions.h"

#include "cli/DatabaseSession.h"
#include "core/Errors.h"
#include "versions/Restore.h"
#include "versions/VersionFolder.h"
#include "versions/VersionList.h"
#include "versions/VersionTexts.h"

#include <ostream>
#include <vector>

namespace {

std::string Quoted(const std::string& text) {
    return "\u201E" + text + "\u201C";
}

// `text` padded with blanks to `width` characters (UTF-8), on the left when `right`.
std::string Padded(const std::string& text, std::size_t width, bool right) {
    std::size_t characters = 0;
    for (const char c : text)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    const std::string blanks(width > characters ? width - characters : 0, ' ');
    return right ? blanks + text : text + blanks;
}

std::string Stem(const std::string& versionName) {
    return versionName.substr(0, versionName.size() - 4); // without ".mvd"
}

} // namespace

int RunVersions(const Verb& verb, std::ostream& out, std::ostream& /*err*/) {
    const std::vector<versions::Version> list = versions::ListVersions(verb.file);
    if (list.empty()) {
        out << "Keine \u00E4lteren Versionen von " << verb.file << " vorhanden.\n";
        return out.flush() ? 0 : 1;
    }
    out << Padded("Version", 24, false) << Padded("Datum", 21, false)
        << Padded("Eintr\u00E4ge", 12, true) << Padded("Gr\u00F6\u00DFe", 12, true) << '\n';
    for (const versions::Version& version : list) {
        const std::string entries =
            version.state == versions::VersionState::Readable
                ? versions::CountText(static_cast<std::uint64_t>(version.entries))
                : std::string(versions::UnreadableText);
        out << Padded(Stem(version.name), 24, false)
            << Padded(versions::KeptText(version.keptMicros), 21, false)
            << Padded(entries, 12, true) << Padded(versions::SizeText(version.size), 12, true)
            << '\n';
    }
    return out.flush() ? 0 : 1;
}

int RunRestore(const Verb& verb, std::ostream& out, std::ostream& err) {
    DatabaseSession session(err);
    // Bringing entries back changes the loaded database; a replace needs
    // only the lock (a damaged file is worth replacing, too).
    if (verb.entriesOnly ? !session.OpenForChange(verb.file, /*missingIsNew=*/true)
                         : !session.Lock(verb.file))
        return 1;
    const std::optional<versions::Version> version = versions::FindVersion(verb.file, verb.version);
    if (!version) {
        err << "mvd: Es gibt keine Version " << Quoted(verb.version) << " von " << verb.file
            << " (mvd versions " << verb.file << " listet sie).\n";
        return 1;
    }
    if (version->state != versions::VersionState::Readable) {
        err << "mvd: Die Version " << Quoted(Stem(version->name))
            << " ist nicht lesbar und kann nicht wiederhergestellt werden.\n";
        return 1;
    }
    const std::string when = versions::KeptText(version->keptMicros);

    if (verb.entriesOnly) {
        const versions::Comparison compared = versions::CompareVersion(session.db, version->path);
        if (!compared.error.empty()) {
            err << "mvd: Die Version " << Quoted(Stem(version->name))
                << " ist nicht lesbar: " << GeneralReportText(compared.error) << '\n';
            return 1;
        }
        std::vector<std::uint32_t> ids;
        const std::size_t added = versions::BringBack(session.db, compared, compared.missing, ids);
        if (added > 0 && !session.Save())
            return 1;
        out << added << (added == 1 ? " Eintrag" : " Eintr\u00E4ge") << " der Version vom " << when
            << " wiederhergestellt.\n";
        return 0;
    }

    versions::Keeper& keeper = session.VersionKeeper();
    std::size_t entries = 0;
    try {
        entries = versions::ReplaceByVersion(verb.file, version->path, keeper);
    } catch (const std::exception& e) {
        err << GeneralReportText(e.what()) << '\n';
        return 1;
    }
    if (const std::string warning = keeper.TakeWarning(); !warning.empty())
        err << "mvd: " << warning << '\n';
    out << verb.file << " ist durch die Version vom " << when << " ersetzt ("
        << versions::CountText(entries) << (entries == 1 ? " Eintrag" : " Eintr\u00E4ge") << ")";
    if (!keeper.LastKept().empty())
        out << "; die bisherige Datei ist als Version "
            << Quoted(Stem(keeper.LastKept().substr(keeper.LastKept().rfind('/') + 1)))
            << " aufbewahrt";
    out << ".\n";
    return out.flush() ? 0 : 1;
}
