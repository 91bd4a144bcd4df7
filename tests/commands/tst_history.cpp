// The undo history against a plain model: random sequences of new entries,
// changes, deletions, imports, saves, undo and redo, checking entries, IDs,
// use counts, duplicate refusal, the unsaved flag and the signals after every
// step; and the ticks that values come back with.
#include "commands/DataBaseCommands.h"
#include "core/Errors.h"
#include "support/CoreTestUtil.h"

#include <QTemporaryDir>
#include <QtTest>
#include <map>
#include <random>
#include <set>

namespace {

struct Fields {
    std::string field[3]; // language, category, project
    int day = 1;
    std::uint32_t minutes = 1, id = 0;
};
using Model = std::vector<Fields>; // the entries in database order

std::string Folded(std::string s) {
    for (char& c : s)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    return s;
}

// Identical to an entry of `m` other than the one with ID `except`.
bool Refused(const Model& m, const Fields& f, std::uint32_t except = ~0u) {
    return std::any_of(m.begin(), m.end(), [&](const Fields& e) {
        return e.id != except && e.day == f.day && e.minutes == f.minutes &&
               std::equal(e.field, e.field + 3, f.field,
                          [](auto& a, auto& b) { return Folded(a) == Folded(b); });
    });
}

TRecordData Record(const Fields& f) {
    TRecordData r = coretest::Entry(f.field[0], f.field[1], f.field[2],
                                    coretest::Day(2024, 1, f.day), f.minutes);
    r.ID = f.id;
    return r;
}

Fields Random(std::mt19937& rng) {
    static const char* values[3][3] = {{"C++", "c++", "Java"},
                                       {"Zeigerfehler", "Tippfehler", "Tippfehler"},
                                       {"Alpha", "Beta", "beta"}};
    return {{values[0][rng() % 3], values[1][rng() % 3], values[2][rng() % 3]},
            1 + static_cast<int>(rng() % 3),
            1 + static_cast<std::uint32_t>(rng() % 2)};
}

// The first difference between the database and the model, or nothing.
QString Difference(const TDataBaseCommands& commands, const Model& m, bool modified,
                   const std::set<const TDataRecord*>& signalled) {
    const TDataBase& db = commands.DataBase();
    std::set<const TDataRecord*> present;
    std::map<std::string, int> uses[3];
    for (int i = 0; i < db.Count(); ++i) {
        const TDataRecord& r = *db.GetRecord(i);
        present.insert(&r);
        const Fields& f = m.at(static_cast<std::size_t>(i));
        if (r.ID != f.id || r.ID >= db.NextID || r.Language() != f.field[0] ||
            r.ErrorType() != f.field[1] || r.Project() != f.field[2] ||
            r.Date != coretest::Day(2024, 1, f.day) || r.TimeNeeded != f.minutes)
            return QStringLiteral("entry %1 has ID %2, expected %3").arg(i).arg(r.ID).arg(f.id);
        for (int k = 0; k < 3; ++k)
            ++uses[k][Folded(f.field[k])];
    }
    if (db.Count() != static_cast<int>(m.size()) || commands.Modified() != modified)
        return QStringLiteral("%1 entries, unsaved %2").arg(db.Count()).arg(commands.Modified());
    if (present != signalled)
        return QStringLiteral("the signals tell other entries");
    const TValueList* lists[3] = {&db.Languages, &db.ErrorTypes, &db.Projects};
    for (int k = 0; k < 3; ++k) {
        std::size_t used = 0;
        for (int i = 0; i < lists[k]->Count(); ++i) {
            const auto it = uses[k].find(Folded(lists[k]->Value(i)));
            used += it != uses[k].end();
            if (lists[k]->UseCount(i) != (it == uses[k].end() ? 0 : it->second))
                return QStringLiteral("use count of %1").arg(lists[k]->Value(i).c_str());
        }
        if (used != uses[k].size())
            return QStringLiteral("a used value is not listed");
    }
    return {};
}

// Entries named by a letter: A has 1 minute, B 2 and so on; "C:neu" is C
// with the description "neu".
TRecordData Lettered(const std::string& name) {
    const std::size_t colon = name.find(':');
    return coretest::Entry("C++", "Zeiger", "P", coretest::Day(2024, 1, 1),
                           static_cast<std::uint32_t>(name[0] - 'A' + 1),
                           colon == std::string::npos ? "" : name.substr(colon + 1));
}

// Applies "-B +E ~C:neu" (delete B, add E, change C's description) through
// the layer.
void Edit(TDataBaseCommands& commands, const QString& ops) {
    const TDataBase& db = commands.DataBase();
    for (const QString& op : ops.split(' ', Qt::SkipEmptyParts)) {
        const std::string name = op.mid(1).toStdString();
        const auto id = [&] {
            for (int i = 0; i < db.Count(); ++i)
                if (db.GetRecord(i)->TimeNeeded == Lettered(name).TimeNeeded)
                    return db.GetRecord(i)->ID;
            return 0u;
        };
        if (op[0] == '+')
            commands.AddEntry(Lettered(name));
        else if (op[0] == '-')
            commands.DeleteEntry(id());
        else {
            TRecordData changed = Lettered(name);
            changed.ID = id();
            commands.ChangeEntry(changed);
        }
    }
}

// The entries as letters, sorted: "A B C:neu D".
QString Letters(const TDataBase& db) {
    QStringList letters;
    for (int i = 0; i < db.Count(); ++i) {
        const TDataRecord& e = *db.GetRecord(i);
        QString letter(QChar('A' + static_cast<int>(e.TimeNeeded) - 1));
        if (!e.Description().empty())
            letter += ':' + QString::fromStdString(std::string(e.Description()));
        letters << letter;
    }
    letters.sort();
    return letters.join(' ');
}
} // namespace

class TestHistory : public QObject {
    Q_OBJECT
    // Thousands of saves: in memory where the system offers a folder there,
    // so that the file system's syncs do not set the pace.
    QTemporaryDir dir_{QDir(QStringLiteral("/dev/shm")).exists()
                           ? QStringLiteral("/dev/shm/tst_history-XXXXXX")
                           : QDir::tempPath() + QStringLiteral("/tst_history-XXXXXX")};
    std::vector<std::pair<std::string, Model>> files_; // import files and their entries

private slots:
    void initTestCase() {
        std::mt19937 rng(7);
        for (int k = 0; k < 3; ++k) {
            TDataBase db;
            Model saved;
            for (int i = 0; i < 6; ++i)
                if (Fields f = Random(rng); !Refused(saved, f)) {
                    db.AddRecord(Record(f));
                    saved.push_back(f);
                }
            db.FileName = coretest::Native(dir_.filePath(QString::number(k)));
            db.Save();
            files_.emplace_back(db.FileName, saved);
        }
    }

    void randomSequences() {
        std::mt19937 rng(20261208);
        TDataBase db;
        for (int sequence = 0; sequence < 3000; ++sequence) {
            db.Clear();
            TDataBaseCommands commands(db);
            std::set<const TDataRecord*> seen; // what the signals told
            for (auto added :
                 {&TDataBaseCommands::EntriesAdded, &TDataBaseCommands::EntriesImported})
                connect(&commands, added,
                        [&](const auto& list) { seen.insert(list.begin(), list.end()); });
            commands.Name(coretest::Native(dir_.filePath(QStringLiteral("saved.mvd"))));
            connect(&commands, &TDataBaseCommands::EntriesRemoved, [&](const auto& list) {
                for (const TDataRecord* r : list)
                    seen.erase(r);
            });
            connect(&commands, &TDataBaseCommands::EntriesChanged, [&](const auto& list) {
                for (const TEntryChange& c : list)
                    seen.erase(c.Before), seen.insert(c.After);
            });
            std::vector<Model> states{{}}; // the model's history
            std::size_t at = 0;
            long saved = 0;
            std::uint32_t nextId = 1;
            QString trail;
            for (int n = 0; n < 40; ++n) {
                Model next = states[at];
                const unsigned op = rng() % 8;
                Fields f = Random(rng);
                const std::size_t i = next.empty() ? 0 : rng() % next.size();
                bool refused = false, stepped = false;
                try {
                    if (op <= 1) {
                        trail += " add";
                        commands.AddEntry(Record(f));
                        f.id = nextId++;
                        next.push_back(f);
                        stepped = true;
                    } else if (op == 2 && !next.empty()) {
                        trail += QStringLiteral(" change %1").arg(f.id = next[i].id);
                        QVERIFY(commands.ChangeEntry(Record(f)));
                        next[i] = f;
                        stepped = true;
                    } else if (op == 3 && !next.empty()) {
                        trail += QStringLiteral(" delete %1").arg(next[i].id);
                        commands.DeleteEntry(next[i].id);
                        next.erase(next.begin() + static_cast<std::ptrdiff_t>(i));
                        stepped = true;
                    } else if (op == 4) {
                        const auto& [file, entries] = files_[rng() % files_.size()];
                        for (Fields e : entries)
                            if (!Refused(next, e))
                                e.id = nextId++, next.push_back(e);
                        stepped = next.size() != states[at].size();
                        if (rng() % 2) {
                            trail += " import";
                            commands.ImportFile(file);
                        } else {
                            // The same entries as read rows: views of texts kept elsewhere.
                            trail += " import rows";
                            std::vector<TRecordData> rows;
                            std::vector<TRecordView> views;
                            for (const Fields& e : entries)
                                rows.push_back(Record(e));
                            for (const TRecordData& row : rows)
                                views.push_back(row.View());
                            const TImportOutcome outcome = commands.ImportEntries("rows", views);
                            QCOMPARE(outcome.Added, next.size() - states[at].size());
                            QCOMPARE(outcome.Duplicates, entries.size() - outcome.Added);
                        }
                    }
                } catch (const InvalidEntryException&) {
                    refused = true;
                }
                const bool entry = op <= 1 || (op == 2 && !states[at].empty());
                QCOMPARE(refused, entry && Refused(states[at], f, op == 2 ? f.id : ~0u));
                if (op == 5) {
                    trail += " save";
                    commands.Save();
                    saved = static_cast<long>(at);
                } else if (op == 6) {
                    trail += " undo";
                    QCOMPARE(commands.CanUndo(), at > 0);
                    commands.Undo();
                    at -= at > 0;
                } else if (op == 7) {
                    trail += " redo";
                    QCOMPARE(commands.CanRedo(), at + 1 < states.size());
                    commands.Redo();
                    at += at + 1 < states.size();
                } else if (stepped) {
                    if (saved > static_cast<long>(at))
                        saved = -1; // the saved point went with the steps to redo
                    states.resize(at + 1);
                    states.push_back(std::move(next));
                    ++at;
                }
                const QString diff = Difference(commands, states[at], saved != long(at), seen);
                if (!diff.isEmpty())
                    QFAIL(qPrintable(QStringLiteral("%1 after%2").arg(diff, trail)));
            }
        }
    }

    // A version opened under the file's name stays unsaved, whatever is
    // undone, until it is saved.
    void openedUnsaved() {
        QTemporaryDir dir;
        TDataBase db;
        TDataBaseCommands commands(db);
        const std::string file = coretest::Native(dir.filePath(QStringLiteral("a.mvd")));
        commands.OpenUnsaved([&](TDataBase& target) {
            target.FileName = file;
            return LoadReport{};
        });
        QVERIFY(commands.Modified());
        commands.AddEntry(coretest::Entry("C++", "Zeigerfehler", "P", 1.0, 1));
        commands.Undo();
        QVERIFY(commands.Modified());
        commands.Save();
        QVERIFY(!commands.Modified());
        commands.Redo();
        commands.Undo();
        QVERIFY(!commands.Modified());
    }

    // A value that left its list with an entry comes back with its tick, and
    // the entry is hidden by it again.
    // A merge with the file on disk goes three ways, with the file as loaded
    // or last saved as the base; it is one step.
    void mergeThreeWays_data() {
        QTest::addColumn<QString>("here");
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<QString>("merged");
        QTest::newRow("both sides added and deleted") << "-B +E"
                                                      << "-C +F"
                                                      << "A D E F";
        QTest::newRow("deleted here stays deleted") << "-B"
                                                    << ""
                                                    << "A C D";
        QTest::newRow("deleted on disk, unchanged here: goes") << ""
                                                               << "-B"
                                                               << "A C D";
        QTest::newRow("deleted on disk, changed here: stays") << "~B:neu"
                                                              << "-B"
                                                              << "A B:neu C D";
        QTest::newRow("changed on disk, unchanged here: the disk's") << ""
                                                                     << "~B:neu"
                                                                     << "A B:neu C D";
        QTest::newRow("changed on both sides: this one's") << "~B:hier"
                                                           << "~B:dort"
                                                           << "A B:hier C D";
        QTest::newRow("deleted here, changed on disk: stays deleted") << "-B"
                                                                      << "~B:neu"
                                                                      << "A C D";
        QTest::newRow("added on both sides: once") << "+E"
                                                   << "+E"
                                                   << "A B C D E";
    }
    void mergeThreeWays() {
        QFETCH(QString, here);
        QFETCH(QString, onDisk);
        QFETCH(QString, merged);
        const std::string file = coretest::Native(dir_.filePath(QStringLiteral("merge.mvd")));
        {
            TDataBase base;
            for (const char* name : {"A", "B", "C", "D"})
                base.AddRecord(Lettered(name));
            base.FileName = file;
            base.Save();
        }
        TDataBase db;
        TDataBaseCommands commands(db);
        commands.Open(file);
        Edit(commands, here);
        const QString before = Letters(db);
        {
            TDataBase other; // another program
            TDataBaseCommands writer(other);
            writer.Open(file);
            Edit(writer, onDisk);
            writer.Save();
        }
        commands.MergeWithFile(file, QStringLiteral("zusammenführen"));
        QCOMPARE(Letters(db), merged);
        // A merge that changes nothing leaves no step.
        QCOMPARE(commands.UndoText() == QStringLiteral("zusammenführen"), merged != before);
        if (merged == before)
            return;
        commands.Undo();
        QCOMPARE(Letters(db), before);
        commands.Redo();
        QCOMPARE(Letters(db), merged);
    }

    void ticksComeBack_data() {
        QTest::addColumn<int>("step");
        QTest::newRow("deletion") << 0;
        QTest::newRow("change") << 1;
    }
    void ticksComeBack() {
        QFETCH(int, step);
        TDataBase db;
        TDataBaseCommands commands(db);
        db.AddRecord(Record({{"Java", "Tippfehler", "Alpha"}}));
        Fields lone{{"Rust", "Tippfehler", "Gamma"}, 2};
        commands.AddEntry(Record(lone));
        db.Projects.Filter(db.Projects.IndexOf("Gamma")).Checked = false;
        db.SetAndFilter(true);
        lone.id = db.GetRecord(1)->ID;
        lone.field[2] = "Delta";
        step == 0 ? commands.DeleteEntry(lone.id) : (void)commands.ChangeEntry(Record(lone));
        QCOMPARE(db.Projects.IndexOf("Gamma"), -1);
        commands.Undo();
        QCOMPARE(db.GetRecord(1)->ID, lone.id);
        QVERIFY(!db.Projects.Filter(db.Projects.IndexOf("Gamma")).Checked);
        QVERIFY(db.GetRecord(1)->Hidden && !db.GetRecord(0)->Hidden);
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
