// The undo history against a plain model: random sequences of new entries,
// changes, deletions, imports, saves, undo and redo, checking entries, IDs,
// value lists, use counts, duplicate refusal, the unsaved flag and the
// signals after every step; and the ticks that values come back with.
#include "CoreTestUtil.h"
#include "DataBase.h"
#include "DataBaseCommands.h"
#include "Errors.h"

#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <random>
#include <set>

namespace {

struct Fields {
    std::string language, type, project;
    int day = 0;
    std::uint32_t minutes = 0;
    std::uint32_t id = 0;
};

std::string Folded(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool SameIdentity(const Fields& a, const Fields& b) {
    return Folded(a.language) == Folded(b.language) && Folded(a.type) == Folded(b.type) &&
           Folded(a.project) == Folded(b.project) && a.day == b.day && a.minutes == b.minutes;
}

std::unique_ptr<TDataRecord> Record(const Fields& f) {
    auto r = coretest::Entry(f.language, f.type, f.project, coretest::Day(2024, 1, f.day) + 0.5,
                             f.minutes, "Text");
    r->ID = f.id;
    return r;
}

Fields Random(std::mt19937& rng) {
    static const char* languages[] = {"C++", "c++", "Java", "Rust"};
    static const char* types[] = {"Zeigerfehler", "Tippfehler"};
    static const char* projects[] = {"Alpha", "Beta", "beta"};
    auto pick = [&rng](auto& list) { return list[rng() % std::size(list)]; };
    return {pick(languages), pick(types), pick(projects), 1 + static_cast<int>(rng() % 3),
            1 + static_cast<std::uint32_t>(rng() % 2)};
}

using Model = std::vector<Fields>; // the entries in database order

bool Refused(const Model& m, const Fields& f, std::uint32_t except = ~0u) {
    return std::any_of(m.begin(), m.end(),
                       [&](const Fields& e) { return e.id != except && SameIdentity(e, f); });
}

// A view that knows the entries only from the signals.
struct Follower {
    std::set<const TDataRecord*> entries;
    explicit Follower(TDataBaseCommands& c, TDataBase& db) {
        QObject::connect(&c, &TDataBaseCommands::EntriesAdded,
                         [this](const auto& list) { entries.insert(list.begin(), list.end()); });
        QObject::connect(&c, &TDataBaseCommands::EntriesRemoved, [this](const auto& list) {
            for (const TDataRecord* r : list)
                QVERIFY(entries.erase(r) == 1);
        });
        QObject::connect(&c, &TDataBaseCommands::EntriesChanged, [this](const auto& list) {
            for (const TEntryChange& ch : list) {
                QVERIFY(entries.erase(ch.Before) == 1);
                entries.insert(ch.After);
            }
        });
        QObject::connect(&c, &TDataBaseCommands::DataBaseReplaced, [this, &db] {
            entries.clear();
            for (int i = 0; i < db.Count(); ++i)
                entries.insert(db.GetRecord(i));
        });
    }
};

// Everything a step must leave right; returns the first difference.
QString Difference(const TDataBase& db, const Model& m, bool modified, const Follower& view) {
    if (db.Count() != static_cast<int>(m.size()))
        return QStringLiteral("count %1, expected %2").arg(db.Count()).arg(m.size());
    std::set<const TDataRecord*> present;
    for (int i = 0; i < db.Count(); ++i) {
        const TDataRecord& r = *db.GetRecord(i);
        present.insert(&r);
        const Fields& f = m[static_cast<std::size_t>(i)];
        if (r.ID != f.id || r.Language != f.language || r.ErrorType != f.type ||
            r.Project != f.project || r.TimeNeeded != f.minutes ||
            r.Date != coretest::Day(2024, 1, f.day) + 0.5)
            return QStringLiteral("entry %1 (ID %2, expected %3)").arg(i).arg(r.ID).arg(f.id);
        if (r.ID >= db.NextID)
            return QStringLiteral("NextID %1 not above %2").arg(db.NextID).arg(r.ID);
    }
    if (db.Modified != modified)
        return QStringLiteral("unsaved flag %1").arg(db.Modified);
    if (view.entries != present)
        return QStringLiteral("the signals' view differs");
    const std::pair<const TValueList*, std::string Fields::*> lists[] = {
        {&db.Languages, &Fields::language},
        {&db.ErrorTypes, &Fields::type},
        {&db.Projects, &Fields::project}};
    for (const auto& [list, field] : lists) {
        std::map<std::string, int> uses;
        for (const Fields& f : m)
            ++uses[Folded(f.*field)];
        int used = 0;
        for (int i = 0; i < list->Count(); ++i) {
            const std::string value = Folded(list->Value(i));
            const int expected = uses.count(value) ? uses[value] : 0;
            if (list->UseCount(i) != expected)
                return QStringLiteral("uses of %1: %2, expected %3")
                    .arg(QString::fromStdString(value))
                    .arg(list->UseCount(i))
                    .arg(expected);
            used += expected > 0;
        }
        if (used != static_cast<int>(uses.size()))
            return QStringLiteral("a used value is not listed");
    }
    return {};
}

} // namespace

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void randomSequences();
    void ticksComeBack_data();
    void ticksComeBack();

private:
    QTemporaryDir dir_;
    std::vector<std::pair<std::string, std::vector<Fields>>> files_;
};

void TestHistory::initTestCase() {
    QVERIFY(dir_.isValid());
    std::mt19937 rng(7);
    for (int k = 0; k < 3; ++k) {
        TDataBase db;
        std::vector<Fields> saved;
        for (int i = 0; i < 6; ++i) {
            Fields f = Random(rng);
            if (Refused(saved, f))
                continue;
            db.AddRecord(Record(f));
            saved.push_back(f);
        }
        db.FileName = coretest::Native(dir_.filePath(QStringLiteral("f%1.mvd").arg(k)));
        db.Save();
        files_.emplace_back(db.FileName, saved);
    }
}

void TestHistory::randomSequences() {
    std::mt19937 rng(20261208);
    TDataBase db;
    for (int sequence = 0; sequence < 3000; ++sequence) {
        db.Clear();
        TDataBaseCommands commands(db);
        Follower view(commands, db);
        commands.Replaced();
        // The model's history: the state after each step, the present one, the saved one.
        std::vector<Model> states{{}};
        std::size_t at = 0;
        long saved = 0;
        std::uint32_t nextId = 1;
        QStringList trail;
        auto step = [&](Model next) {
            if (saved > static_cast<long>(at))
                saved = -1; // the saved point is gone with the redo steps
            states.resize(at + 1);
            states.push_back(std::move(next));
            ++at;
        };
        for (int n = 0; n < 40; ++n) {
            const Model& now = states[at];
            const unsigned op = rng() % 8;
            if (op <= 1) {
                Fields f = Random(rng);
                trail << QStringLiteral("add");
                bool refused = false;
                try {
                    commands.AddEntry(Record(f));
                } catch (const InvalidEntryException&) {
                    refused = true;
                }
                QCOMPARE(refused, Refused(now, f));
                if (!refused) {
                    f.id = nextId++;
                    Model next = now;
                    next.push_back(f);
                    step(std::move(next));
                }
            } else if (op == 2 && !now.empty()) {
                const std::size_t i = rng() % now.size();
                Fields f = Random(rng);
                f.id = now[i].id;
                trail << QStringLiteral("change %1").arg(f.id);
                bool refused = false;
                try {
                    QVERIFY(commands.ChangeEntry(Record(f)) != nullptr);
                } catch (const InvalidEntryException&) {
                    refused = true;
                }
                QCOMPARE(refused, Refused(now, f, f.id));
                if (!refused) {
                    Model next = now;
                    next[i] = f;
                    step(std::move(next));
                }
            } else if (op == 3 && !now.empty()) {
                const std::size_t i = rng() % now.size();
                trail << QStringLiteral("delete %1").arg(now[i].id);
                commands.DeleteEntry(now[i].id);
                Model next = now;
                next.erase(next.begin() + static_cast<std::ptrdiff_t>(i));
                step(std::move(next));
            } else if (op == 4) {
                const auto& [file, entries] = files_[rng() % files_.size()];
                trail << QStringLiteral("import");
                const bool canUndo = commands.CanUndo();
                const QString undoText = commands.UndoText();
                commands.ImportFile(file);
                Model next = now;
                for (Fields f : entries)
                    if (!Refused(next, f)) {
                        f.id = nextId++;
                        next.push_back(f);
                    }
                if (next.size() != now.size())
                    step(std::move(next));
                else
                    QVERIFY(commands.CanUndo() == canUndo && commands.UndoText() == undoText);
            } else if (op == 5) {
                trail << QStringLiteral("save");
                db.Modified = false;
                commands.MarkSaved();
                saved = static_cast<long>(at);
            } else if (op == 6) {
                trail << QStringLiteral("undo");
                QCOMPARE(commands.CanUndo(), at > 0);
                commands.Undo();
                at -= at > 0;
            } else {
                trail << QStringLiteral("redo");
                QCOMPARE(commands.CanRedo(), at + 1 < states.size());
                commands.Redo();
                at += at + 1 < states.size();
            }
            const QString diff = Difference(db, states[at], saved != static_cast<long>(at), view);
            if (!diff.isEmpty())
                QFAIL(qPrintable(QStringLiteral("sequence %1: %2 after %3")
                                     .arg(sequence)
                                     .arg(diff, trail.join(QStringLiteral(", ")))));
        }
    }
}

// A value that left its list with an entry comes back with its tick, and the
// entry is hidden again by it.
void TestHistory::ticksComeBack_data() {
    QTest::addColumn<QString>("step");
    QTest::newRow("deletion") << "delete";
    QTest::newRow("change") << "change";
    QTest::newRow("import") << "import";
}

void TestHistory::ticksComeBack() {
    QFETCH(QString, step);
    TDataBase db;
    TDataBaseCommands commands(db);
    db.SetAndFilter(true);
    const Fields kept{"Java", "Tippfehler", "Alpha", 1, 1};
    db.AddRecord(Record(kept));
    const Fields lone{"Rust", "Tippfehler", "Gamma", 2, 1};
    if (step == QLatin1String("import")) {
        TDataBase other;
        other.AddRecord(Record(lone));
        other.FileName = coretest::Native(dir_.filePath(QStringLiteral("lone.mvd")));
        other.Save();
        commands.ImportFile(other.FileName);
    } else {
        commands.AddEntry(Record(lone));
    }
    db.Projects.Filter(db.Projects.IndexOf("Gamma")).Checked = false;
    db.SetAndFilter(true);
    const std::uint32_t id = db.GetRecord(1)->ID;
    QVERIFY(db.GetRecord(1)->Hidden);
    if (step == QLatin1String("delete")) {
        commands.DeleteEntry(id);
    } else if (step == QLatin1String("change")) {
        Fields other = lone;
        other.project = "Delta";
        other.id = id;
        commands.ChangeEntry(Record(other));
    } else {
        commands.Undo();
    }
    QCOMPARE(db.Projects.IndexOf("Gamma"), -1);
    if (step == QLatin1String("import"))
        commands.Redo();
    else
        commands.Undo();
    QCOMPARE(db.Count(), 2);
    QCOMPARE(db.GetRecord(1)->ID, id);
    QVERIFY(db.Projects.IndexOf("Gamma") >= 0);
    QVERIFY(!db.Projects.Filter(db.Projects.IndexOf("Gamma")).Checked);
    QVERIFY(db.GetRecord(1)->Hidden);
    QVERIFY(!db.GetRecord(0)->Hidden);
}

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_history.moc"
