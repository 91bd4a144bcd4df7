// Record editing: the switch between the viewing and the editing state of the
// detail panel, the new/change/delete commands, OK and Cancel, the date display
// and the focus guard that keeps typing out of the panel while viewing.
#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "core/DateUtil.h"
#include "core/Errors.h"
#include "gui/Anchors.h"
#include "gui/Bevel.h"
#include "gui/DatePicker.h"
#include "gui/GuiText.h"
#include "gui/MainForm.h"
#include "gui/Prompt.h"
#include "gui/RecordListModel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QSpinBox>
#include <QTableView>
#include <memory>
#include <stdexcept>

namespace {

// Top of the detail panel within the client area (below the menu bar).
int DetailPanelTop(const TMainForm& form) {
    const int menuHeight = form.height() - form.ClientHeight();
    return form.DetailPanel->mapTo(&form, QPoint(0, 0)).y() - menuHeight;
}

void SetHeight(QWidget* w, int height) {
    w->resize(w->width(), height);
}

// Today as a whole day.
double Today() {
    const QDate d = QDate::currentDate();
    return EncodeDate({d.year(), d.month(), d.day()});
}

// The field's text in Windows-1252, or an exception naming the field and the
// first character that the database cannot hold.
std::string StorableText(const QString& text, const char* field) {
    if (auto bytes = GuiText::ToCp1252(text))
        return std::move(*bytes);
    QString bad;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString c = text.mid(i, length);
        if (!GuiText::ToCp1252(c)) {
            bad = c;
            break;
        }
        i += length - 1;
    }
    const QString message =
        QStringLiteral("Das Feld \u201E%1\u201C enthält das Zeichen \u201E%2\u201C, das in der "
                       "Datenbank nicht gespeichert werden kann. Bitte ersetzen Sie es.")
            .arg(QString::fromUtf8(field), bad);
    throw std::runtime_error(message.toStdString());
}

// The minutes as the field shows them: a typed value that the spin field has
// not corrected yet counts as typed, text that is no number as 0.
std::uint32_t MinutesOf(const QSpinBox* edit) {
    const QString text = edit->text().trimmed();
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok) {
        // A number too long for any integer is out of range as well.
        static const QRegularExpression digits(QStringLiteral("^-?\\d+$"));
        if (digits.match(text).hasMatch())
            throw std::runtime_error(loadmsg::RangeCheck);
        return 0;
    }
    if (value < edit->minimum() || value > edit->maximum())
        throw std::runtime_error(loadmsg::RangeCheck);
    return static_cast<std::uint32_t>(value);
}

// While viewing, the drop-downs neither open nor change their value by the
// mouse wheel or keys, even before the focus guard has moved the focus away.
class TViewingGuard : public QObject {
public:
    TViewingGuard(const bool& editing, QObject* parent) : QObject(parent), editing_(editing) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!editing_) {
            switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::KeyPress:
                if (auto* w = qobject_cast<QWidget*>(watched); w && w->isEnabled())
                    w->setFocus(Qt::MouseFocusReason); // the guard passes it on
                return true;
            default:
                break;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const bool& editing_;
};

// Qt's editable combo box replaces its text by the item that matches it
// without regard to letter case when its line edit loses the focus ("c++"
// becomes "C++", "äpfel" becomes "Äpfel"), although Enter keeps it. The panel
// stores what the box showed when the focus left, so that text is put back.
// Lives as long as the line edit, which the box makes anew on each switch to
// the editable style.
class TTypedTextKeeper : public QObject {
public:
    explicit TTypedTextKeeper(QComboBox* box) : QObject(box->lineEdit()), box_(box) {
        // The box has the focus and hands its focus events to the line edit.
        box->installEventFilter(this);
        // Connected after the box's own handler, so this one runs last.
        connect(box->lineEdit(), &QLineEdit::editingFinished, this, [this] {
            if (leaving_ && box_->currentText() != shown_)
                box_->setEditText(shown_);
            leaving_ = false;
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            shown_ = static_cast<QComboBox*>(watched)->currentText();
            leaving_ = true;
        } else if (event->type() == QEvent::FocusIn) {
            leaving_ = false;
        }
        return false;
    }

private:
    QComboBox* box_;
    QString shown_;
    bool leaving_ = false;
};

} // namespace

// Enter and Escape act like a dialog's default and cancel buttons, only while
// editing. As window shortcuts they see a key before the focused control does,
// so a minutes value typed but not yet corrected by the spin field reaches OK;
// the description field claims Enter for itself (a line break).
void TMainForm::installEditingKeys() {
    ReturnKey = new QShortcut(QKeySequence(Qt::Key_Return), this);
    EnterKey = new QShortcut(QKeySequence(Qt::Key_Enter), this);
    EscapeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    for (QShortcut* key : {ReturnKey, EnterKey, EscapeKey}) {
        key->setContext(Qt::WindowShortcut);
        key->setEnabled(false);
    }
    auto* viewingGuard = new TViewingGuard(Editing, this);
    for (QComboBox* box : {LanguageBox, TypeBox, ProjectBox})
        box->installEventFilter(viewingGuard);
}

// Enter on the focused cancel button abandons, as on any focused button.
void TMainForm::confirmKeyPressed() {
    if (CancelButton->hasFocus())
        CancelButtonClick();
    else
        OkButtonClick();
}

void TMainForm::panelFocusChanged(QWidget* /*old*/, QWidget* now) {
    if (now == nullptr)
        return;
    for (QWidget* control :
         {static_cast<QWidget*>(LanguageBox), static_cast<QWidget*>(TypeBox),
          static_cast<QWidget*>(ProjectBox), static_cast<QWidget*>(DateEdit),
          static_cast<QWidget*>(TimeEdit), static_cast<QWidget*>(DescriptionMemo)})
        if (now == control || control->isAncestorOf(now)) {
            EnterEditElement();
            return;
        }
}

void TMainForm::SetEditState(bool editing) {
    using A = TAnchors;
    // 1. First, so that the focus guard already sees the new state.
    Editing = editing;

    // 2.
    TimeEdit->setReadOnly(!editing);
    DescriptionMemo->setReadOnly(!editing);
    DatePicker->setEnabled(editing);

    // 3. Menu items and toolbar buttons follow their actions.
    for (QAction* action : ActionList)
        if (action != ExitAction)
            action->setEnabled(!editing);
    ConfigItem->setEnabled(!editing);
    SaveOptionItem->setEnabled(!editing);
    ShowStopwatch(); // its reset needs time to reset
    ShowUndoState(); // only while there is a step

    // 4. While the height changes, the buttons keep their distance to the top
    // and the description and frames keep their sizes.
    const int memoEdges = DetailAnchors->Edges(DescriptionMemo);
    const int bevel2Edges = DetailAnchors->Edges(Bevel2);
    const int bevel3Edges = DetailAnchors->Edges(Bevel3);
    DetailAnchors->Anchor(OkButton, A::akLeft | A::akTop);
    DetailAnchors->Anchor(CancelButton, A::akTop | A::akRight);
    DetailAnchors->Anchor(DescriptionMemo, memoEdges & ~A::akBottom);
    DetailAnchors->Anchor(Bevel2, bevel2Edges & ~A::akBottom);
    DetailAnchors->Anchor(Bevel3, bevel3Edges & ~A::akBottom);
    for (QWidget* w : {static_cast<QWidget*>(Bevel2), static_cast<QWidget*>(Bevel3),
                       static_cast<QWidget*>(DescriptionMemo)})
        SetHeight(w, w->height() - 1);

    // 5.
    if (editing) {
        ListPanel->setEnabled(false);
        for (QComboBox* box : {LanguageBox, TypeBox, ProjectBox}) {
            const int index = box->currentIndex();
            const QString text = box->currentText();
            box->setEditable(true);
            new TTypedTextKeeper(box);
            box->setCurrentIndex(index);
            box->setEditText(text);
        }
        LanguageBox->setFocus();
        setTimeEditHidden(false);
        SetClientHeight(DetailPanelTop(*this) + OkButton->y() + OkButton->height() + 5);
        OkButton->show();
        CancelButton->show();
    } else {
        ListPanel->setEnabled(true);
        for (QComboBox* box : {LanguageBox, TypeBox, ProjectBox})
            box->setEditable(false);
        ListView->setFocus();
        OkButton->hide();
        CancelButton->hide();
        SetClientHeight(DetailPanelTop(*this) + OkButton->y() - 5);
    }
    for (QShortcut* key : {ReturnKey, EnterKey, EscapeKey})
        if (key)
            key->setEnabled(editing);

    // 6.
    for (QWidget* w : {static_cast<QWidget*>(Bevel2), static_cast<QWidget*>(Bevel3),
                       static_cast<QWidget*>(DescriptionMemo)})
        SetHeight(w, w->height() + 1);

    // 7. From now on a resize moves the buttons and stretches the rest.
    DetailAnchors->Anchor(OkButton, A::akLeft | A::akBottom);
    DetailAnchors->Anchor(CancelButton, A::akRight | A::akBottom);
    DetailAnchors->Anchor(DescriptionMemo, memoEdges | A::akBottom);
    DetailAnchors->Anchor(Bevel2, bevel2Edges | A::akBottom);
    DetailAnchors->Anchor(Bevel3, bevel3Edges | A::akBottom);
}

void TMainForm::NewItemActionExecute() {
    SetEditState(true);
    for (QComboBox* box : {LanguageBox, TypeBox, ProjectBox}) {
        box->setCurrentIndex(-1);
        box->setEditText(QString());
    }
    const double date = Today();
    DatePicker->SetDate(date);
    DateEdit->setText(GuiText::FromCp1252(FormatDate(date)));
    TimeEdit->setValue(offerStopwatchMinutes());
    DescriptionMemo->clear();
    AddingRecord = true;
}

void TMainForm::ChangeItemActionExecute() {
    // Enabled only with a current entry, whose values the panel shows.
    if (ItemRecord(CurrentItem()) == nullptr)
        return;
    SetEditState(true);
    AddingRecord = false;
}

void TMainForm::DatePickerChange() {
    DateEdit->setText(GuiText::FromCp1252(FormatDate(DatePicker->Date())));
}

void TMainForm::EnterEditElement() {
    if (!Editing)
        ListView->setFocus();
}

void TMainForm::OkButtonClick() {
    if (!Editing)
        return;

    // Build the record from the panel; a text that the database can't hold
    // or out-of-range minutes refuse the input before anything is stored.
    const int current = CurrentItem();
    const TDataRecord* old = AddingRecord ? nullptr : ItemRecord(current);
    if (!AddingRecord && old == nullptr)
        throw std::runtime_error("Der geänderte Datensatz ist nicht mehr vorhanden.");
    auto record = std::make_unique<TRecordData>();
    if (old)
        record->ID = old->ID;
    record->Language = StorableText(LanguageBox->currentText(), "Sprache");
    record->ErrorType = StorableText(TypeBox->currentText(), "Kategorie");
    record->Project = StorableText(ProjectBox->currentText(), "Projekt");
    // A change keeps the stored time of day unless another day was picked.
    const double picked = DatePicker->Date();
    const auto pickedDay = DecodeDate(picked);
    const auto oldDay = old ? DecodeDate(old->Date) : std::nullopt;
    const bool sameDay = pickedDay && oldDay && pickedDay->year == oldDay->year &&
                         pickedDay->month == oldDay->month && pickedDay->day == oldDay->day;
    record->Date = sameDay ? old->Date : picked;
    record->TimeNeeded = MinutesOf(TimeEdit);
    // An unedited description keeps its bytes, line breaks as read included.
    record->Description =
        old && DescriptionMemo->toPlainText() == shownDescription_
            ? std::string(old->Description())
            : GuiText::StoredLines(StorableText(DescriptionMemo->toPlainText(), "Beschreibung"));

    // A refused duplicate throws here: the state and the input stay. The
    // list and the panel follow the command layer's signal: a new entry that
    // the filter lets through becomes current; the item of a changed entry
    // points at the new one, or leaves when the filter hides the change (the
    // item that would follow it after a deletion then becomes current).
    TDataRecord* stored = nullptr;
    if (AddingRecord) {
        stored = Commands->AddEntry(*record);
    } else {
        stored = Commands->ChangeEntry(*record);
        if (stored == nullptr)
            throw std::runtime_error("Der geänderte Datensatz ist nicht mehr vorhanden.");
    }

    SetEditState(false);
    ShowSelectedRecord();
    // Last: the entry is stored and shown even if storing the reset fails.
    if (AddingRecord)
        newEntryStored();
}

void TMainForm::CancelButtonClick() {
    SetEditState(false);
    ShowSelectedRecord();
}

void TMainForm::DeleteItemActionExecute() {
    if (Prompt::Message(this, Prompt::Kind::Confirmation,
                        QStringLiteral("Soll dieser Datensatz wirklich gelöscht werden?"),
                        Prompt::Yes | Prompt::No) != Prompt::Yes)
        return;
    const int item = CurrentItem();
    const TDataRecord* entry = ItemRecord(item);
    if (entry == nullptr)
        return;
    // The item after it becomes current, else the one before it.
    Commands->DeleteEntry(entry->ID);
}

void TMainForm::removeListItemKeepingNeighbourCurrent(int item) {
    if (item == CurrentItem())
        SetCurrentItem(!IsLastItem(item) ? item + 1 : !IsFirstItem(item) ? item - 1 : -1);
    RemoveListItem(item);
}
