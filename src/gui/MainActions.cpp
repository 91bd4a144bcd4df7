#include "gui/MainActions.h"

#include <QAction>
#include <QWidget>

static void InitIconResources() {
    Q_INIT_RESOURCE(Icons);
}

namespace {

QIcon ToolIcon(const char* name) {
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace

TMainActions::TMainActions(QWidget* window) {
    InitIconResources();
    auto make = [this, window](const char* name, const QString& caption, const QString& hint,
                               const QKeySequence& shortcut, const char* icon) {
        auto* action = new QAction(caption, window);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(hint);
        action->setStatusTip(hint);
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        if (icon)
            action->setIcon(ToolIcon(icon));
        ActionList.append(action);
        return action;
    };
    using K = QKeySequence;
    ExitAction = make("ExitAction", "&Beenden", "beendet das Programm", {}, nullptr);
    NewDataBaseAction = make("NewDataBaseAction", "&neue Datenbank", "erstellt eine neue Datenbank",
                             K(Qt::CTRL | Qt::Key_N), nullptr);
    LoadDataBaseAction =
        make("LoadDataBaseAction", "Datenbank &laden...",
             "öffnet eine bereits vorhandene Datenbank", K(Qt::CTRL | Qt::Key_L), nullptr);
    ImportDataBaseAction =
        make("ImportDataBaseAction", "Datenbank &importieren...",
             "fügt die Einträge einer anderen Datenbank der geöffneten Datenbank hinzu",
             K(Qt::CTRL | Qt::Key_I), nullptr);
    SaveDataBaseAction = make("SaveDataBaseAction", "Datenbank &sichern",
                              "speichert die aktuelle Datenbank", K(Qt::CTRL | Qt::Key_S), nullptr);
    SaveDataBaseAsAction = make("SaveDataBaseAsAction", "Datenbank sichern &unter...",
                                "speichert die aktuelle Datenbank unter einem neuen Namen",
                                K(Qt::CTRL | Qt::Key_U), nullptr);
    RestoreVersionAction =
        make("RestoreVersionAction", "&Ältere Version wiederherstellen...",
             "holt Einträge aus einer älteren, beim Sichern aufbewahrten Fassung der Datenbank "
             "zurück",
             {}, nullptr);
    FirstItemAction =
        make("FirstItemAction", "&Anfang der Datenbank",
             "springt zum ersten Datensatz der Datenbank", K(Qt::CTRL | Qt::Key_Home), "first");
    LastItemAction =
        make("LastItemAction", "&Ende der Datenbank", "springt zum letzten Datensatz der Datenbank",
             K(Qt::CTRL | Qt::Key_End), "last");
    NextItemAction = make("NextItemAction", "&nächster Datensatz",
                          "springt zum nächsten Datensatz der Datenbank", {}, "next");
    PreviousItemAction = make("PreviousItemAction", "&vorheriger Datensatz",
                              "springt zum vorherigen Datensatz der Datenbank", {}, "previous");
    NewItemAction =
        make("NewItemAction", "&neuer Datensatz", "erstellt einen neuen Datensatz in der Datenbank",
             K(Qt::CTRL | Qt::Key_Insert), "new");
    ChangeItemAction =
        make("ChangeItemAction", "Datensatz &ändern", "ändert den aktuellen Datensatz",
             K(Qt::CTRL | Qt::Key_Return), "change");
    ChangeItemAction->setShortcuts({K(Qt::CTRL | Qt::Key_Return), K(Qt::CTRL | Qt::Key_Enter)});
    DeleteItemAction =
        make("DeleteItemAction", "Datensatz &löschen", "löscht den aktuellen Datensatz",
             K(Qt::CTRL | Qt::Key_Delete), "delete");
    FilterAction = make("FilterAction", "Filtern ...", "Filtern der Datensätze",
                        K(Qt::CTRL | Qt::Key_F), "filter");
    // Ctrl+I belongs to the import, which comes first in the menu. The
    // information item shows the key but does not register it: two actions
    // with one shortcut would make Qt run neither.
    InfoAction = make("InfoAction",
                      QStringLiteral("Information...\t%1")
                          .arg(K(Qt::CTRL | Qt::Key_I).toString(QKeySequence::NativeText)),
                      "zeigt den Informationsdialog an", {}, nullptr);
    HandbookAction = make("HandbookAction", "&Handbuch", "zeigt das Handbuch des Programms",
                          K(Qt::Key_F1), nullptr);
    AnalysisAction =
        make("AnalysisAction", "&Auswertung...", "zeigt Häufigkeit und Aufwand der Fehler",
             K(Qt::CTRL | Qt::Key_T), "analysis");
    // Undo and redo: the captions name the step (ShowUndoState).
    UndoAction =
        make("UndoAction", {}, "nimmt den letzten Schritt zurück", K(Qt::CTRL | Qt::Key_Z), "undo");
    RedoAction =
        make("RedoAction", {}, "führt den zurückgenommenen Schritt wieder aus", {}, "redo");
    RedoAction->setShortcuts({K(Qt::CTRL | Qt::Key_Y), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    // The stopwatch: the caption and hint follow its state (TStopwatchBar).
    StopwatchAction = make("StopwatchAction", {}, {}, K(Qt::Key_F5), "stopwatch");
    ResetStopwatchAction =
        make("ResetStopwatchAction", "Stoppuhr &zurücksetzen",
             "setzt die Stoppuhr zurück und verwirft die gemessene Zeit", {}, nullptr);
    // The quick search: its key works without a menu item.
    SearchAction = make("SearchAction", "&Suchen", "sucht in allen Feldern der Einträge (Strg+E)",
                        K(Qt::CTRL | Qt::Key_E), "search");
    window->addAction(SearchAction);
    // Exchange with spreadsheets.
    ImportCsvAction =
        make("ImportCsvAction", "CSV-Datei impor&tieren...",
             "fügt die Zeilen einer CSV-Datei der geöffneten Datenbank hinzu", {}, nullptr);
    ExportCsvAction =
        make("ExportCsvAction", "als CSV e&xportieren...",
             "schreibt die angezeigten Einträge in eine CSV-Datei für Tabellen", {}, nullptr);
    ExportXlsxAction =
        make("ExportXlsxAction", "als Excel-Arbeitsmappe ex&portieren...",
             "schreibt die angezeigten Einträge in eine Excel-Arbeitsmappe", {}, nullptr);
    // The review report and the printed list, of the listed entries.
    ReportAction =
        make("ReportAction", "Be&richt...",
             "schreibt einen Rückblick auf einen Zeitraum als PDF oder HTML-Seite", {}, nullptr);
    PrintPreviewAction =
        make("PrintPreviewAction", "Druck&vorschau...",
             "zeigt die Seiten, die das Drucken der angezeigten Einträge ergibt", {}, nullptr);
    PrintAction = make("PrintAction", "&Drucken...",
                       "druckt die angezeigten Einträge in der Reihenfolge der Liste",
                       K(Qt::CTRL | Qt::Key_P), nullptr);

    ConfigItem = new QAction(QStringLiteral("&Konfigurieren..."), window);
    ConfigItem->setObjectName(QStringLiteral("ConfigItem"));
    ConfigItem->setShortcut(K(Qt::CTRL | Qt::Key_K));
    SaveOptionItem = new QAction(QStringLiteral("Konfiguration &Speichern"), window);
    SaveOptionItem->setObjectName(QStringLiteral("SaveOptionItem"));
    SaveOptionItem->setShortcut(K(Qt::SHIFT | Qt::Key_F9));
}
