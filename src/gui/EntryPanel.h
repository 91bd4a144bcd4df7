#pragma once

#include "core/DataRecord.h"

#include <QString>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QShortcut;
class QSpinBox;
class TAnchors;
class TBevel;
class TDataBase;
class TDatePicker;

// The detail panel on the right of the main window: the current entry field
// by field, read-only while viewing; an input form while an entry is created
// or changed, with OK and "Abbruch" below. Enter (also the keypad's) confirms
// and Escape abandons, only while editing. Its controls are its own; the
// window reads the entered entry and decides what happens with it.
class TEntryPanel : public QWidget {
    Q_OBJECT
public:
    // `window`: the main window, in which Enter and Escape act.
    explicit TEntryPanel(QWidget* window);

    [[nodiscard]] bool Editing() const { return editing_; }
    [[nodiscard]] bool AddingRecord() const { return addingRecord_; }

    // Shows `entry` read-only, or empties the panel (nullptr).
    void ShowRecord(const TDataRecord* entry);
    // Copies of the database's three value lists into the drop-downs.
    void LoadValueBoxes(const TDataBase& dataBase);

    // The switch between viewing and editing, in the order the window needs
    // around it: SetEditing first (the focus guard sees the new state at once),
    // then, while a Resizing lives, ShowEditControls and the window's new
    // height; the description and the frames keep their sizes meanwhile and
    // stretch with the panel afterwards.
    void SetEditing(bool editing);
    class Resizing {
    public:
        explicit Resizing(TEntryPanel& panel);
        ~Resizing();
        Resizing(const Resizing&) = delete;
        Resizing& operator=(const Resizing&) = delete;

    private:
        TEntryPanel& panel_;
        int memoEdges_, bevel2Edges_, bevel3Edges_;
    };
    void ShowEditControls(bool editing);
    // The panel height at which the buttons show (editing) or lie just below
    // the visible panel (viewing).
    [[nodiscard]] int HeightFor(bool editing) const;

    // Starts a new entry on `date` with `minutes`, or a change of the shown one.
    void BeginNewEntry(double date, int minutes);
    void BeginChange();
    // The entry as the form holds it. `old` is the entry being changed
    // (nullptr for a new one): it gives the ID, the time of day of an
    // unchanged day and the bytes of an unedited description. Raises the
    // German message when a text can't be stored or the minutes are out of
    // range.
    [[nodiscard]] TRecordData EnteredRecord(const TDataRecord* old) const;
    // The largest number of minutes an entry can be given here.
    [[nodiscard]] int MaximumMinutes() const;

signals:
    // OK or Enter; Escape, "Abbruch" or Enter on the focused "Abbruch".
    void OkClicked();
    void CancelClicked();
    // The focus entered an input control while viewing: it belongs elsewhere.
    void ViewingFocusRefused();

private:
    void createControls();
    void installKeys();
    void focusChanged(QWidget* now);
    void confirmKeyPressed();
    void setTimeEditHidden(bool hidden);
    void datePickerChange();

    bool editing_ = false;
    bool addingRecord_ = false;
    // The description as ShowRecord put it into the field: a change that
    // leaves it so keeps the entry's bytes.
    QString shownDescription_;

    TAnchors* anchors_ = nullptr;
    TBevel* bevel1_ = nullptr;
    TBevel* bevel2_ = nullptr;
    TBevel* bevel3_ = nullptr;
    QComboBox* languageBox_ = nullptr;
    QComboBox* typeBox_ = nullptr;
    QComboBox* projectBox_ = nullptr;
    QLineEdit* dateEdit_ = nullptr;
    TDatePicker* datePicker_ = nullptr;
    QSpinBox* timeEdit_ = nullptr;
    QPlainTextEdit* descriptionMemo_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QShortcut* returnKey_ = nullptr;
    QShortcut* enterKey_ = nullptr;
    QShortcut* escapeKey_ = nullptr;
};
