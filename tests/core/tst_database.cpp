// The in-memory database: defaults, duplicates, IDs, value lists with their
// use counts, visibility and the unsaved-changes flag.

#include "core/Errors.h"
#include "core/IdentityIndex.h"
#include "core/PageMemory.h"
#include "core/RecordStore.h"
#include "support/CoreTestUtil.h"

#include <QtTest>
#include <map>
#include <random>
#include <set>

using namespace coretest;

namespace {

QStringList Values(const TValueList& list) {
    QStringList out;
    for (int i = 0; i < list.Count(); ++i)
        out << QString::fromLatin1(list.Value(i).c_str());
    return out;
}

// Field texts 1 to 5 compared with the ASCII capitals folded: the definition
// that the database's identity index must agree with.
std::string TextOf(const TDataRecord& r, std::uint8_t k) {
    return r.FieldText(k);
}
std::string TextOf(const TRecordData& r, std::uint8_t k) {
    const std::string texts[] = {r.Language, r.ErrorType, r.Project, FormatDate(r.Date),
                                 std::to_string(r.TimeNeeded)};
    return texts[k - 1];
}

template <typename A, typename B> bool IdenticalByText(const A& a, const B& b) {
    for (std::uint8_t k = 1; k <= 5; ++k) {
        std::string x = TextOf(a, k), y = TextOf(b, k);
        for (auto* s : {&x, &y})
            for (char& c : *s)
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c + 32);
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

class DataBaseTest : public QObject {
    Q_OBJECT

private slots:
    void newDatabase_data() {
        QTest::addColumn<bool>("used");
        QTest::newRow("constructed") << false;
        QTest::newRow("cleared after use") << true;
    }

    void newDatabase() {
        QFETCH(bool, used);
        TDataBase db;
        if (used) {
            // Values added and removed, a default back in other letter case,
            // flags unticked, AND mode: Clear starts afresh all the same.
            db.AddRecord(Entry("Java", "neu", "P", 1, 1));
            db.DeleteRecord(db.AddRecord(Entry("C++", "Zeigerfehler", "", 1, 2))->ID);
            db.AddRecord(Entry("c++", "Zeigerfehler", "Q", 1, 3));
            db.Languages.Filter(0).Checked = false;
            db.ErrorTypes.Filter(1).Checked = false;
            db.SetAndFilter(true);
            db.FileName = "x.mvd";
            db.Clear();
            // A second Clear of a list that nothing changed since.
            db.Languages.Filter(3).Checked = false;
            db.Clear();
        }
        QCOMPARE(
            Values(db.Languages),
            QStringList({"Ansi C", "Assembler", "Basic", "Borland Pascal", "C++", "Fortran", "Java",
                         "Object Pascal", "Turbo Pascal", "Visual Basic", "Visual C++"}));
        QCOMPARE(Values(db.ErrorTypes),
                 QStringList({"Eins-daneben-Fehler", "falscher logischer Ausdruck",
                              "fehlerhafter Algorithmus", "Parameter verwechselt",
                              QString::fromLatin1("unber\xfc"
                                                  "cksichtigter Spezialfall"),
                              "unerwarteter Routineneffekt", "vergessene Anweisung",
                              "vertauschte Anweisungen", "Zeigerfehler"}));
        QCOMPARE(db.Projects.Count(), 0);
        QCOMPARE(db.Count(), 0);
        QCOMPARE(db.NextID, 1u);
        QVERIFY(!db.AndFilter);
        QVERIFY(!db.Modified);
        QVERIFY(db.FileName.empty());
        for (const TValueList* list : {&db.Languages, &db.ErrorTypes})
            for (int i = 0; i < list->Count(); ++i)
                QVERIFY(list->Filter(i).Checked);
        QCOMPARE(db.GetRecord(0), nullptr);
        QCOMPARE(db.GetRecord(-1), nullptr);
    }

    void duplicates_data() {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QByteArray>("errorType");
        QTest::addColumn<QByteArray>("project");
        QTest::addColumn<double>("date");
        QTest::addColumn<uint>("minutes");
        QTest::addColumn<bool>("duplicate");
        // The first entry is C++ / Zeigerfehler / Projekt / 05.03.2001 / 15 / "a".
        const double day = Day(2001, 3, 5);
        QTest::newRow("same") << QByteArray("C++") << QByteArray("Zeigerfehler")
                              << QByteArray("Projekt") << day << 15u << true;
        QTest::newRow("language case") << QByteArray("c++") << QByteArray("Zeigerfehler")
                                       << QByteArray("Projekt") << day << 15u << true;
        QTest::newRow("category case") << QByteArray("C++") << QByteArray("ZEIGERFEHLER")
                                       << QByteArray("Projekt") << day << 15u << true;
        QTest::newRow("project case") << QByteArray("C++") << QByteArray("Zeigerfehler")
                                      << QByteArray("pROJEKT") << day << 15u << true;
        QTest::newRow("time of day") << QByteArray("C++") << QByteArray("Zeigerfehler")
                                     << QByteArray("Projekt") << day + 0.75 << 15u << true;
        QTest::newRow("other day") << QByteArray("C++") << QByteArray("Zeigerfehler")
                                   << QByteArray("Projekt") << day + 1 << 15u << false;
        QTest::newRow("other minutes") << QByteArray("C++") << QByteArray("Zeigerfehler")
                                       << QByteArray("Projekt") << day << 16u << false;
        QTest::newRow("other project") << QByteArray("C++") << QByteArray("Zeigerfehler")
                                       << QByteArray("Projekt2") << day << 15u << false;
        QTest::newRow("trailing space") << QByteArray("C++ ") << QByteArray("Zeigerfehler")
                                        << QByteArray("Projekt") << day << 15u << false;
    }

    void duplicates() {
        QFETCH(QByteArray, language);
        QFETCH(QByteArray, errorType);
        QFETCH(QByteArray, project);
        QFETCH(double, date);
        QFETCH(uint, minutes);
        QFETCH(bool, duplicate);
        TDataBase db;
        db.AddRecord(Entry("C++", "Zeigerfehler", "Projekt", Day(2001, 3, 5), 15, "a"));
        db.Modified = false;
        auto second = Entry(language.toStdString(), errorType.toStdString(), project.toStdString(),
                            date, minutes, "other description");
        if (duplicate) {
            QVERIFY_THROWS_EXCEPTION(InvalidEntryException, db.AddRecord(second));
            QCOMPARE(db.Count(), 1);
            QCOMPARE(db.NextID, 2u);
            QVERIFY(!db.Modified);
            QCOMPARE(db.Projects.Count(), 1);
        } else {
            db.AddRecord(second);
            QCOMPARE(db.Count(), 2);
        }
    }

    void umlautCaseIsNoDuplicate() {
        TDataBase db;
        db.AddRecord(Entry("Java", "T", "\xc4rger", 1, 1));
        db.AddRecord(Entry("Java", "T", "\xe4rger", 1, 1)); // must not throw
        QCOMPARE(db.Count(), 2);
        // ... but the value list treats both spellings as one value.
        QCOMPARE(db.Projects.Count(), 1);
        QCOMPARE(db.Projects.Value(0), std::string("\xc4rger"));
        QCOMPARE(db.Projects.UseCount(0), 2);
    }

    void datesThatAreNoDay() {
        TDataBase db;
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        db.AddRecord(Entry("C", "T", "P", nan, 1));
        QCOMPARE(db.GetRecord(0)->FieldText(ckDate), std::string());
        // Every date without a calendar day has the same (empty) field text.
        QVERIFY_THROWS_EXCEPTION(InvalidEntryException, db.AddRecord(Entry("C", "T", "P", inf, 1)));
        QVERIFY_THROWS_EXCEPTION(InvalidEntryException,
                                 db.AddRecord(Entry("C", "T", "P", -1e300, 1)));
        db.AddRecord(Entry("C", "T", "P", Day(1, 1, 1), 1));
        db.AddRecord(Entry("C", "T", "P", Day(9999, 12, 31) + 0.999, 1));
        QCOMPARE(db.Count(), 3);
    }

    // The hash index must refuse exactly what a comparison with every entry
    // by field texts would refuse.
    void indexAgreesWithFullComparison() {
        std::mt19937 rng(4711);
        const char* languages[] = {"C", "c", "Java", "JAVA", "\xc4", "\xe4", ""};
        const char* projects[] = {"p", "P", "q", "\xd6l", "\xf6l"};
        const double dates[] = {0.0,
                                0.5,
                                -0.5,
                                1.0,
                                36955.0,
                                36955.99,
                                -1.25,
                                std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::infinity(),
                                3e6};
        TDataBase db;
        std::vector<TRecordData> model;
        for (int i = 0; i < 3000; ++i) {
            auto r = Entry(languages[rng() % 7], (rng() % 2) ? "T" : "t", projects[rng() % 5],
                           dates[rng() % 10], static_cast<std::uint32_t>(rng() % 3));
            const TRecordData copy = r;
            bool expected = false;
            for (const TRecordData& m : model)
                expected = expected || IdenticalByText(m, copy);
            bool refused = false;
            try {
                db.AddRecord(r);
                model.push_back(copy);
            } catch (const InvalidEntryException&) {
                refused = true;
            }
            QCOMPARE(refused, expected);
            if (i % 7 == 3 && !model.empty()) { // delete now and then
                const auto victim = static_cast<std::size_t>(rng() % model.size());
                db.DeleteRecord(db.GetRecord(static_cast<int>(victim))->ID);
                model.erase(model.begin() + static_cast<std::ptrdiff_t>(victim));
            }
        }
        QCOMPARE(db.Count(), static_cast<int>(model.size()));
        for (std::size_t i = 0; i < model.size(); ++i)
            QVERIFY(IdenticalByText(*db.GetRecord(static_cast<int>(i)), model[i]));
    }

    // Crowded probe runs that wrap around the table's end: after any mix of
    // inserts and erases every member is found and no removed one is.
    void identityIndexProbeRuns() {
        std::mt19937 rng(99);
        TDataBase db; // holds the entries; the index under test is a separate one
        std::vector<const TDataRecord*> records;
        for (std::uint32_t i = 0; i < 200; ++i)
            records.push_back(db.AddRecord(Entry("L", "T", "P", 1, i)));
        // Hashes crowd at the last slots of the 64-slot table (and beyond).
        auto hashOf = [](std::uint32_t i) { return std::uint64_t{60 + (i % 5)} + (i % 3) * 64; };
        IdentityIndex index;
        std::vector<bool> present(records.size());
        for (int step = 0; step < 5000; ++step) {
            const auto i = static_cast<std::uint32_t>(rng() % 30); // stays below half full
            if (present[i])
                index.Erase(records[i], hashOf(i));
            else
                index.Insert(records[i], hashOf(i));
            present[i] = !present[i];
            for (std::uint32_t j = 0; j < 30; ++j)
                QCOMPARE(index.Find(*records[j], hashOf(j)), present[j] ? records[j] : nullptr);
        }
    }

    void lowerCaseLanguageUsesListedValue() {
        TDataBase db;
        db.AddRecord(Entry("c++", "Zeigerfehler", "", 1, 1));
        QCOMPARE(db.Languages.Count(), 11);
        QCOMPARE(db.GetRecord(0)->Language(), std::string("c++"));
        QCOMPARE(db.Languages.IndexOf("c++"), db.Languages.IndexOf("C++"));
        db.Languages.Filter(db.Languages.IndexOf("C++")).Checked = false;
        db.SetAndFilter(true);
        QVERIFY(db.GetRecord(0)->Hidden);
    }

    void ids() {
        TDataBase db;
        for (std::uint32_t m = 1; m <= 3; ++m) {
            auto r = Entry("C", "T", "P", 1, m);
            r.ID = 99; // overwritten
            QCOMPARE(db.AddRecord(r)->ID, m);
        }
        db.DeleteRecord(2);
        QCOMPARE(db.AddRecord(Entry("C", "T", "P", 1, 9))->ID, 4u);
        QCOMPARE(db.GetRecord(1)->ID, 3u); // later entries moved up
        db.Clear();
        QCOMPARE(db.AddRecord(Entry("C", "T", "P", 1, 9))->ID, 1u);
    }

    void valuesGoWithTheirLastEntry_data() {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::newRow("same spelling") << QByteArray("Proj") << QByteArray("Proj");
        QTest::newRow("other case") << QByteArray("Proj") << QByteArray("PROJ");
        QTest::newRow("umlaut case") << QByteArray("\xc4pfel") << QByteArray("\xe4pfel");
    }

    void valuesGoWithTheirLastEntry() {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        for (bool deleteFirstSpellingFirst : {true, false}) {
            TDataBase db;
            const auto a = db.AddRecord(Entry("Java", "T", first.toStdString(), 1, 1))->ID;
            const auto b = db.AddRecord(Entry("java", "T", second.toStdString(), 1, 2))->ID;
            QCOMPARE(db.Projects.Count(), 1);
            db.DeleteRecord(deleteFirstSpellingFirst ? a : b);
            QCOMPARE(db.Projects.Count(), 1); // the other entry still uses it
            QVERIFY(db.Languages.IndexOf("Java") >= 0);
            db.DeleteRecord(deleteFirstSpellingFirst ? b : a);
            QCOMPARE(db.Projects.Count(), 0);
            QCOMPARE(db.Languages.IndexOf("Java"), -1); // defaults are not protected
            QCOMPARE(db.Languages.Count(), 10);
        }
    }

    // The store grows from heap blocks into blocks mapped from the system:
    // entries and texts keep their bytes in every kind of block, and slots
    // given back are taken again first.
    void storeGrowsIntoMappedBlocks() {
        TRecordStore store;
        std::vector<TDataRecord*> records;
        std::vector<std::pair<const char*, std::string>> texts;
        for (std::uint32_t i = 0; i < 100000; ++i) { // about 5 MiB of entries
            records.push_back(store.Take());
            records.back()->ID = i;
            if (i % 10 == 0) { // about 10 MiB of texts
                const std::string text(1000 + i % 7, static_cast<char>('a' + i % 26));
                texts.emplace_back(store.CopyText(text), text);
            }
        }
        std::size_t wrong = 0;
        for (std::uint32_t i = 0; i < records.size(); ++i)
            wrong += records[i]->ID != i;
        for (const auto& [at, text] : texts)
            wrong += std::string_view(at, text.size()) != text;
        QCOMPARE(wrong, std::size_t{0});
        const std::set<TDataRecord*> given(records.begin() + 40000, records.begin() + 40500);
        for (TDataRecord* r : given)
            store.Give(r);
        for (int k = 0; k < 500; ++k)
            QVERIFY(given.count(store.Take()));
    }

    void pageMemoryBlocks_data() {
        QTest::addColumn<qulonglong>("bytes");
        for (const qulonglong bytes : {4096ull, 2ull << 20, (2ull << 20) + 1, 5ull << 20})
            QTest::addRow("%llu bytes", bytes) << bytes;
    }
    // Blocks of a huge page or more start on one (else no huge page fits),
    // and every byte reads zero and can be written.
    void pageMemoryBlocks() {
        QFETCH(qulonglong, bytes);
        auto* block = static_cast<unsigned char*>(pagememory::Allocate(bytes));
        if (bytes >= pagememory::kHugePage)
            QCOMPARE(reinterpret_cast<std::uintptr_t>(block) % pagememory::kHugePage,
                     std::uintptr_t{0});
        QCOMPARE(std::count(block, block + bytes, 0), static_cast<std::ptrdiff_t>(bytes));
        block[bytes - 1] = 1;
        pagememory::Free(block, bytes);
    }

    // Values that come and go in any order, many of them sharing probe runs
    // of the spelling table: every entry keeps its own spelling, and a
    // spelling that went is never handed out again.
    void valuesComeAndGo() {
        std::mt19937 rng(17);
        TDataBase db;
        std::map<std::uint32_t, std::string> projectOf; // by ID
        for (int step = 0; step < 4000; ++step) {
            if (!projectOf.empty() && rng() % 3 == 0) {
                auto it = projectOf.begin();
                std::advance(it, static_cast<long>(rng() % projectOf.size()));
                db.DeleteRecord(it->first);
                projectOf.erase(it);
            } else {
                const std::string project = "P" + std::to_string(rng() % 300);
                projectOf[db.AddRecord(
                                Entry("C", "T", project, 1, static_cast<std::uint32_t>(step)))
                              ->ID] = project;
            }
        }
        std::set<std::string> used;
        for (int i = 0; i < db.Count(); ++i) {
            const TDataRecord& r = *db.GetRecord(i);
            QCOMPARE(r.Project(), projectOf.at(r.ID));
            used.insert(r.Project());
        }
        QCOMPARE(db.Projects.Count(), static_cast<int>(used.size()));
    }

    void changeRecord() {
        TDataBase db;
        db.AddRecord(Entry("C++", "Zeigerfehler", "Alt", Day(2001, 3, 5), 15, "a"));
        db.AddRecord(Entry("Java", "Zeigerfehler", "Anderes", Day(2001, 3, 5), 15));
        db.Modified = false;

        // Only the description changes: the entry itself is no duplicate.
        auto change = Entry("C++", "Zeigerfehler", "Alt", Day(2001, 3, 5), 15, "b");
        change.ID = 1;
        TDataRecord* adopted = db.ChangeRecord(change);
        QVERIFY(adopted);
        QCOMPARE(db.GetRecord(0), adopted);
        QCOMPARE(adopted->Description(), std::string_view("b"));
        QVERIFY(db.Modified);

        // A change that would duplicate the other entry is refused unchanged.
        db.Modified = false;
        auto dup = Entry("java", "Zeigerfehler", "anderes", Day(2001, 3, 5) + 0.5, 15);
        dup.ID = 1;
        QVERIFY_THROWS_EXCEPTION(InvalidEntryException, db.ChangeRecord(dup));
        QVERIFY(!db.Modified);
        QCOMPARE(db.GetRecord(0), adopted);

        // Renaming the project: the old name goes, the new one is ticked.
        auto rename = Entry("C++", "Zeigerfehler", "Neu", Day(2001, 3, 5), 15, "b");
        rename.ID = 1;
        db.ChangeRecord(rename);
        QCOMPARE(Values(db.Projects), QStringList({"Anderes", "Neu"}));
        QVERIFY(db.Projects.Filter(db.Projects.IndexOf("Neu")).Checked);
        QCOMPARE(db.GetRecord(0)->ID, 1u);
        QCOMPARE(db.NextID, 3u);

        // Only the letter case changes: the shared value stays.
        auto recase = Entry("c++", "Zeigerfehler", "NEU", Day(2001, 3, 5), 15, "b");
        recase.ID = 1;
        db.ChangeRecord(recase);
        QCOMPARE(Values(db.Projects), QStringList({"Anderes", "Neu"}));
        QVERIFY(db.Languages.IndexOf("C++") >= 0);

        // An unknown ID changes nothing.
        db.Modified = false;
        auto unknown = Entry("X", "Y", "Z", 5, 5);
        unknown.ID = 77;
        QCOMPARE(db.ChangeRecord(unknown), nullptr);
        QVERIFY(!db.Modified);
        QCOMPARE(db.Languages.IndexOf("X"), -1);
    }

    // Many adds, changes and deletes that reuse the store's slots and leave
    // old descriptions behind: every entry keeps its fields, the value lists
    // hold exactly the values in use, and a save and reload gives them back.
    void storeKeepsEntriesThroughEdits_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("projects");
        QTest::addColumn<int>("longest"); // description
        QTest::newRow("the small first blocks") << 300 << 7 << 40;
        QTest::newRow("several blocks, many spellings") << 20000 << 3000 << 40;
        QTest::newRow("texts longer than a block") << 60 << 7 << 300000;
    }
    void storeKeepsEntriesThroughEdits() {
        QFETCH(int, entries);
        QFETCH(int, projects);
        QFETCH(int, longest);
        std::mt19937 rng(7);
        TDataBase db;
        std::map<std::uint32_t, TRecordData> model;
        auto project = [&] {
            std::string p = "Projekt " + std::to_string(rng() % static_cast<unsigned>(projects));
            if (rng() % 4 == 0)
                p[0] = 'p'; // another spelling of the same value
            return p;
        };
        for (int i = 0; i < entries; ++i) {
            const auto id = static_cast<std::uint32_t>(1 + rng() % db.NextID);
            if (i % 5 == 3 && model.count(id)) {
                db.DeleteRecord(id);
                model.erase(id);
            } else if (i % 5 == 4 && model.count(id)) {
                TRecordData changed = model[id];
                changed.Project = project();
                changed.Description = std::string(rng() % static_cast<unsigned>(longest), 'c');
                db.ChangeRecord(changed);
                model[id] = changed;
            } else {
                TRecordData r = Entry("C", "T", project(), 1, static_cast<std::uint32_t>(i),
                                      std::string(rng() % static_cast<unsigned>(longest), 'd'));
                r.ID = db.AddRecord(r)->ID;
                model[r.ID] = r;
            }
        }
        QTemporaryDir dir;
        db.FileName = Native(dir.filePath("edits.mvd"));
        db.Save();
        for (bool reloaded : {false, true}) {
            if (reloaded)
                db.Reload();
            QCOMPARE(db.Count(), int(model.size()));
            std::set<QString> used;
            int i = 0;
            for (const auto& [id, r] : model) {
                const TDataRecord* e = db.GetRecord(i++);
                QCOMPARE(e->ID, reloaded ? std::uint32_t(i) : id);
                QCOMPARE(e->Project(), r.Project);
                QCOMPARE(std::string(e->Description()), r.Description);
                QCOMPARE(e->TimeNeeded, r.TimeNeeded);
                used.insert(QString::fromStdString(r.Project).toLower());
            }
            QCOMPARE(db.Projects.Count(), int(used.size()));
        }
    }

    void deleteUnknownId() {
        TDataBase db;
        db.AddRecord(Entry("C", "T", "P", 1, 1));
        db.Modified = false;
        db.DeleteRecord(42);
        QVERIFY(!db.Modified);
        QCOMPARE(db.Count(), 1);
    }

    void visibility_data() {
        QTest::addColumn<bool>("andMode");
        QTest::addColumn<bool>("language");
        QTest::addColumn<bool>("errorType");
        QTest::addColumn<bool>("project");
        QTest::addColumn<bool>("hidden");
        for (int bits = 0; bits < 16; ++bits) {
            const bool andMode = bits & 8, l = bits & 4, c = bits & 2, p = bits & 1;
            const bool hidden = andMode ? !(l && c && p) : (!l && !c && !p);
            QTest::addRow("%s L%d C%d P%d", andMode ? "AND" : "OR", l, c, p)
                << andMode << l << c << p << hidden;
        }
    }

    void visibility() {
        QFETCH(bool, andMode);
        QFETCH(bool, language);
        QFETCH(bool, errorType);
        QFETCH(bool, project);
        QFETCH(bool, hidden);
        TDataBase db;
        TDataRecord* r = db.AddRecord(Entry("java", "Zeigerfehler", "proj", 1, 1));
        db.Languages.Filter(db.Languages.IndexOf("Java")).Checked = language;
        db.ErrorTypes.Filter(db.ErrorTypes.IndexOf("zeigerfehler")).Checked = errorType;
        db.Projects.Filter(db.Projects.IndexOf("PROJ")).Checked = project;
        QVERIFY(!r->Hidden); // flags alone do not recompute
        db.SetAndFilter(andMode);
        QCOMPARE(r->Hidden, hidden);
        QCOMPARE(db.IsHidden(*r), hidden);
        QVERIFY(!db.Modified || db.Count() == 1);
        // A new entry gets its Hidden from the current flags and mode.
        TDataRecord* r2 = db.AddRecord(Entry("JAVA", "ZEIGERFEHLER", "Proj", 2, 1));
        QCOMPARE(r2->Hidden, hidden);
    }

    void filterDoesNotTouchModified() {
        TDataBase db;
        db.Languages.Filter(0).Checked = false;
        db.SetAndFilter(true);
        QVERIFY(!db.Modified);
        db.Clear();
        QVERIFY(!db.AndFilter);
        QVERIFY(db.Languages.Filter(0).Checked);
    }

    void listOrderIgnoresCase() {
        TValueList list;
        for (const char* v : {"delta", "Bravo", "\xc4rger", "alpha", "Charlie", "ALPHA", "zulu"})
            list.Add(v);
        QCOMPARE(Values(list), QStringList({"alpha", QString::fromLatin1("\xc4rger"), "Bravo",
                                            "Charlie", "delta", "zulu"}));
        QCOMPARE(list.IndexOf("CHARLIE"), 3);
        QCOMPARE(list.IndexOf("\xe4rger"), 1);
        QCOMPARE(list.IndexOf("arger"), -1); // the umlaut is not its base letter
        QVERIFY(!list.Add("Delta"));
        QCOMPARE(list.Value(4), std::string("delta")); // first spelling kept
        list.Delete(0);
        QCOMPARE(list.IndexOf("alpha"), -1);
        QCOMPARE(list.IndexOf("zulu"), 4);
        list.Clear();
        QCOMPARE(list.Count(), 0);
        QVERIFY(list.Add("alpha"));
    }

    void listValuesInUseStay() {
        TDataBase db;
        db.AddRecord(Entry("C", "T", "P", 1, 1));
        db.Projects.Delete(0);
        db.Projects.Clear();
        QCOMPARE(Values(db.Projects), QStringList({"P"}));
        db.AddProject("Q");
        db.RemoveUnusedValues("", "", "p"); // in use, in another case
        db.RemoveUnusedValues("", "", "q");
        QCOMPARE(Values(db.Projects), QStringList({"P"}));
    }

    // Entries taken out at scattered places come back with their IDs, fields,
    // places and use counts; an identical entry present refuses the lot.
    void takenEntriesComeBack_data() {
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<bool>("blocked");
        QTest::newRow("first and last") << QList<int>{1, 6} << false;
        QTest::newRow("scattered, unknown skipped") << QList<int>{2, 4, 5, 99} << false;
        QTest::newRow("all") << QList<int>{6, 5, 4, 3, 2, 1} << false;
        QTest::newRow("refused") << QList<int>{2, 3} << true;
        // The values that the first five listed anew leave again with them.
        QTest::newRow("all, the last refused") << QList<int>{1, 2, 3, 4, 5, 6} << true;
    }
    void takenEntriesComeBack() {
        QFETCH(QList<int>, ids);
        QFETCH(bool, blocked);
        TDataBase db;
        for (int i = 1; i <= 6; ++i) {
            TRecordData entry = Entry(i % 2 ? "C" : "Rust", "T", "P" + std::to_string(i % 3), i, 1);
            entry.Description = "d" + std::to_string(i);
            db.AddRecord(entry);
        }
        // An entry put back refers to its description where it was, no copy.
        auto fields = [&db] {
            QStringList out;
            const int c = db.Languages.IndexOf("C");
            for (int i = 0; i < db.Count(); ++i)
                out << QStringLiteral("%1 %2 %3 %4")
                           .arg(db.GetRecord(i)->ID)
                           .arg(db.GetRecord(i)->FieldText(1).c_str(),
                                db.GetRecord(i)->FieldText(3).c_str())
                           .arg(quintptr(db.GetRecord(i)->Description().data()));
            return out << Values(db.Languages) << Values(db.Projects)
                       << QString::number(c < 0 ? 0 : db.Languages.UseCount(c));
        };
        const QStringList before = fields();
        const std::vector<std::uint32_t> wanted(ids.begin(), ids.end());
        auto taken = db.TakeRecords(wanted);
        QCOMPARE(db.Count(), 6 - static_cast<int>(taken.size()));
        if (blocked)
            db.AddRecord(taken.Data(taken.size() - 1));
        const QStringList during = fields();
        if (blocked)
            QVERIFY_THROWS_EXCEPTION(InvalidEntryException, db.PutBackRecords(taken));
        else
            db.PutBackRecords(taken);
        QCOMPARE(fields(), blocked ? during : before);
        QCOMPARE(taken.empty(), !blocked);
        QCOMPARE(db.NextID, blocked ? 8u : 7u);
    }

    void takenEntriesDoNotOutliveAClear() {
        TDataBase db;
        db.AddRecord(Entry("C", "T", "P", 1, 1));
        const std::uint32_t ids[] = {1};
        auto taken = db.TakeRecords(ids);
        db.Clear();
        QVERIFY_THROWS_EXCEPTION(std::logic_error, db.PutBackRecords(taken));
        QCOMPARE(db.Count(), 0);
    }

    // A batch adds what AddRecord adds one by one: the same entries, IDs,
    // values and use counts, also when rows ahead use a value that an earlier
    // row lists, in another letter case or not.
    void batchAddsLikeOneByOne() {
        std::mt19937 rng(14);
        const char* languages[] = {"C", "c", "Rust", "RUST", "Go"};
        std::vector<TRecordData> rows;
        for (int i = 0; i < 300; ++i)
            rows.push_back(Entry(languages[rng() % 5], "T" + std::to_string(rng() % 4),
                                 "P" + std::to_string(rng() % 5), Day(2024, 1, 1 + int(rng() % 3)),
                                 1 + std::uint32_t(rng() % 2)));
        TDataBase single, batch;
        std::size_t added = 0;
        for (TDataBase* db : {&single, &batch})
            db->AddRecord(rows[7]);
        for (const TRecordData& row : rows) {
            try {
                single.AddRecord(row);
                ++added;
            } catch (const InvalidEntryException&) {
            }
        }
        std::vector<std::uint32_t> ids;
        std::vector<TRecordView> views;
        for (const TRecordData& row : rows)
            views.push_back(row.View());
        QCOMPARE(batch.AddRecords(views, ids), added);
        auto state = [](const TDataBase& db) {
            QStringList out;
            for (int i = 0; i < db.Count(); ++i) {
                out << QString::number(db.GetRecord(i)->ID);
                for (std::uint8_t k = 1; k <= 5; ++k)
                    out.back() += " " + QString::fromLatin1(db.GetRecord(i)->FieldText(k).c_str());
            }
            for (const TValueList* list : {&db.Languages, &db.ErrorTypes, &db.Projects})
                for (int i = 0; i < list->Count(); ++i)
                    out << QStringLiteral("%1 %2")
                               .arg(list->Value(i).c_str())
                               .arg(list->UseCount(i));
            return out << QString::number(db.NextID);
        };
        QCOMPARE(state(batch), state(single));
        QCOMPARE(ids.size(), added);
        QCOMPARE(ids.back(), batch.GetRecord(batch.Count() - 1)->ID);
    }
};

QTEST_GUILESS_MAIN(DataBaseTest)
#include "tst_database.moc"
