#pragma once

#include "versions/VersionList.h"

#include <QDialog>
#include <cstddef>
#include <memory>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTreeWidget;
class TDocument;
class TVersionComparer;
class TVersionEntriesModel;
namespace versions {
struct Comparison;
}

// "Ältere Version wiederherstellen...": the kept versions of the open
// database's file with their time, number of entries and difference to what
// is open; for the selected version its entries that the open database lacks.
// "Einträge übernehmen" adds the chosen ones through the duplicate rule as one
// step of the history; "Ganze Version öffnen" makes the version the open
// database, unsaved, under the file's name. A version that does not load is
// "nicht lesbar" and offered for nothing.
//
// The versions are compared with the open database on a thread of their own
// (TVersionComparer), newest first and the selected one before the others,
// so that the dialog answers while versions of a million entries load.
class TVersionsForm : public QDialog {
    Q_OBJECT
public:
    TVersionsForm(TDocument& document, QWidget* parent);
    ~TVersionsForm() override;

    // Load, then the dialog modally.
    void Execute();
    // Lists the versions of the open database's file (with a progress dialog
    // while versions that the index lacks are checked) and starts comparing
    // them. Returns false, after saying so, when there are none, and when the
    // user cancelled the check.
    bool Load();

    // Controls.
    QLabel* VersionsLabel = nullptr;
    QTreeWidget* VersionList = nullptr; // Aufbewahrt am, Einträge, Unterschied, Größe
    QLabel* MissingLabel = nullptr;
    QProgressBar* LoadingBar = nullptr; // while the selected version is compared
    QTableView* MissingView = nullptr;
    TVersionEntriesModel* MissingModel = nullptr;
    QLabel* StatusLabel = nullptr;
    QPushButton* TakeOverButton = nullptr;
    QPushButton* OpenVersionButton = nullptr;
    QPushButton* CloseButton = nullptr;

    // Handlers.
    void TakeOverButtonClick();
    void OpenVersionButtonClick();

protected:
    // Closing waits for a comparison under way, with a note.
    void done(int result) override;

private:
    // What the list knows of a version's difference to the open database.
    struct TDifference {
        enum class TState { Pending, Known, Unreadable } State = TState::Pending;
        std::size_t Missing = 0;  // the version's entries that the open database lacks
        std::size_t OnlyOpen = 0; // the open database's entries that the version lacks
    };

    void createControls();
    [[nodiscard]] int selectedRow() const;
    [[nodiscard]] bool offered(int row) const;
    void showRow(int row);
    void showSelected();
    void updateButtons();
    void versionSelected();
    void compareNext();
    // Waits for a comparison under way (a version of a million entries takes
    // about a second), with a note while it does; its result is dropped.
    void stopComparer();
    void compared(int row, const std::shared_ptr<versions::Comparison>& result);
    // After the open database changed: every difference is compared again,
    // the selected version's too unless `selectedStays` (its own entries
    // were brought back, which changes nothing else of it).
    void compareAgain(bool selectedStays);

    TDocument& document_;
    TVersionComparer* comparer_ = nullptr;
    std::vector<versions::Version> versions_; // newest first, as listed
    std::vector<TDifference> differences_;    // by row
    // The selected version compared in full (its entries loaded), or none.
    std::shared_ptr<versions::Comparison> current_;
    int currentRow_ = -1;
    bool stopping_ = false; // stopComparer runs: nothing new is started
};
