// The detail panel: its controls and their places, the viewing and the
// editing state of its controls, the entry read from the form, and the focus
// guard that keeps typing out of the panel while viewing.
#include "gui/EntryPanel.h"

#include "core/DataBase.h"
#include "core/DateUtil.h"
#include "core/Errors.h"
#include "gui/Anchors.h"
#include "gui/Bevel.h"
#include "gui/DatePicker.h"
#include "gui/FormSetup.h"
#include "gui/GuiText.h"
#include "gui/MinutesEdit.h"
#include "settings/WindowConfiguration.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <stdexcept>

namespace {

void SetHeight(QWidget* w, int height) {
    w->resize(w->width(), height);
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

// Selects the item equal to `value` without regard to letter case; none when
// the box doesn't hold it (the box then shows empty).
void SelectValue(QComboBox* box, const std::string& value) {
    const QString text = GuiText::FromCp1252(value);
    int found = -1;
    for (int i = 0; i < box->count(); ++i)
        if (QString::compare(box->itemText(i), text, Qt::CaseInsensitive) == 0) {
            found = i;
            break;
        }
    box->setCurrentIndex(found);
}

void LoadBox(QComboBox* box, const TValueList& values) {
    QStringList items;
    items.reserve(values.Count());
    for (int i = 0; i < values.Count(); ++i)
        items.append(GuiText::FromCp1252(values.Value(i)));
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
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

TEntryPanel::TEntryPanel(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("DetailPanel"));
    setFont(FormFont());
    createControls();
    installKeys();
    // Gaining the focus is reported per application.
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget* /*old*/, QWidget* now) { focusChanged(now); });
    connect(datePicker_, &TDatePicker::Changed, this, &TEntryPanel::datePickerChange);
    connect(datePicker_, &TDatePicker::ClosedUp, this, &TEntryPanel::datePickerChange);
    connect(okButton_, &QPushButton::clicked, this, &TEntryPanel::OkClicked);
    connect(cancelButton_, &QPushButton::clicked, this, &TEntryPanel::CancelClicked);
}

void TEntryPanel::createControls() {
    // The controls are placed for the first-start size of the panel (the
    // client height below the 29-pixel toolbar); anchors keep the distances
    // they have at this size.
    const WindowConfiguration design = WindowConfiguration::FirstStart();
    resize(design.DetailWidth, design.ClientHeight - 29);
    anchors_ = new TAnchors(this);

    using A = TAnchors;
    auto place = [this](QWidget* w, const char* name, int left, int top, int width, int height,
                        int anchors) {
        w->setObjectName(QLatin1String(name));
        if (width > 0)
            w->setGeometry(left, top, width, height);
        else {
            w->adjustSize();
            w->move(left, top);
        }
        anchors_->Anchor(w, anchors);
    };
    auto label = [this, &place](const char* name, const QString& text, int left, int top,
                                int anchors) {
        auto* l = new QLabel(text, this);
        place(l, name, left, top, 0, 0, anchors);
    };
    auto combo = [this, &place](const char* name, const QString& hint, int left, int top,
                                int width) {
        auto* box = new QComboBox(this); // not editable: only its items can be chosen
        box->setToolTip(hint);
        box->setInsertPolicy(QComboBox::NoInsert);
        place(box, name, left, top, width, 21, A::akLeft | A::akTop | A::akRight);
        return box;
    };

    // Frames first, so that they lie below the controls.
    bevel1_ = new TBevel(TBevel::Shape::Frame, this);
    place(bevel1_, "Bevel1", 19, 16, 251, 71, A::akLeft | A::akTop | A::akRight);
    bevel2_ = new TBevel(TBevel::Shape::Box, this);
    place(bevel2_, "Bevel2", 19, 108, 251, 273, A::akAll);
    bevel3_ = new TBevel(TBevel::Shape::TopLine, this);
    place(bevel3_, "Bevel3", 19, 206, 251, 173, A::akAll);

    label("LanguageLabel", "Sprache:", 34, 31, A::akLeft | A::akTop);
    languageBox_ = combo("LanguageBox", "Programmiersprache, in welcher der Fehler gemacht wurde",
                         96, 26, 158);
    label("TypeLabel", "Kategorie:", 34, 61, A::akLeft | A::akTop);
    typeBox_ = combo("TypeBox", "Kategorie des Fehlers", 96, 56, 158);
    label("ProjectLabel", "Projekt:", 34, 127, A::akLeft | A::akTop);
    projectBox_ =
        combo("ProjectBox", "Programmierprojekt in welchem der Fehler auftrat", 85, 120, 169);

    label("DateLabel", "Datum:", 85, 152, A::akLeft | A::akTop);
    dateEdit_ = new QLineEdit(this);
    dateEdit_->setReadOnly(true);
    dateEdit_->setFocusPolicy(Qt::ClickFocus); // skipped by Tab
    dateEdit_->setToolTip(QStringLiteral("Datum der Entdeckung des Fehlers"));
    place(dateEdit_, "DateEdit", 85, 172, 65, 21, A::akLeft | A::akTop | A::akRight);
    datePicker_ = new TDatePicker(this);
    datePicker_->setToolTip(QStringLiteral("Datum der Entdeckung des Fehlers"));
    datePicker_->setEnabled(false);
    place(datePicker_, "DatePicker", 150, 172, 18, 21, A::akTop | A::akRight);

    label("TimeLabel", "benötigte Zeit:", 181, 152, A::akTop | A::akRight);
    timeEdit_ = new TMinutesEdit(this);
    timeEdit_->setReadOnly(true);
    timeEdit_->setToolTip(QStringLiteral("beöntigte Zeit zum Beseitigen des Fehlers (in min.)"));
    place(timeEdit_, "TimeEdit", 181, 172, 70, 22, A::akTop | A::akRight);
    setTimeEditHidden(true);

    label("DescriptionLabel", "Beschreibung:", 34, 218, A::akLeft | A::akTop);
    descriptionMemo_ = new QPlainTextEdit(this);
    descriptionMemo_->setReadOnly(true);
    descriptionMemo_->setTabChangesFocus(true);
    descriptionMemo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    descriptionMemo_->setToolTip(QStringLiteral("eine genauere Fehlerbeschreibung"));
    place(descriptionMemo_, "DescriptionMemo", 34, 236, 220, 129, A::akAll);

    okButton_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                                QStringLiteral("OK"), this);
    place(okButton_, "OkButton", 19, 398, 101, 24, A::akLeft | A::akBottom);
    okButton_->hide();
    cancelButton_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                    QStringLiteral("Abbruch"), this);
    place(cancelButton_, "CancelButton", 171, 398, 101, 24, A::akRight | A::akBottom);
    cancelButton_->hide();

    setTabOrder(languageBox_, typeBox_);
    setTabOrder(typeBox_, projectBox_);
    setTabOrder(projectBox_, datePicker_->Button());
    setTabOrder(datePicker_->Button(), timeEdit_);
    setTabOrder(timeEdit_, descriptionMemo_);
    setTabOrder(descriptionMemo_, okButton_);
    setTabOrder(okButton_, cancelButton_);
}

// Enter and Escape act like a dialog's default and cancel buttons, only while
// editing. As window shortcuts they see a key before the focused control does,
// so a minutes value typed but not yet corrected by the spin field reaches OK;
// the description field claims Enter for itself (a line break).
void TEntryPanel::installKeys() {
    returnKey_ = new QShortcut(QKeySequence(Qt::Key_Return), this);
    enterKey_ = new QShortcut(QKeySequence(Qt::Key_Enter), this);
    escapeKey_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    for (QShortcut* key : {returnKey_, enterKey_, escapeKey_}) {
        key->setContext(Qt::WindowShortcut);
        key->setEnabled(false);
    }
    connect(returnKey_, &QShortcut::activated, this, &TEntryPanel::confirmKeyPressed);
    connect(enterKey_, &QShortcut::activated, this, &TEntryPanel::confirmKeyPressed);
    connect(escapeKey_, &QShortcut::activated, this, &TEntryPanel::CancelClicked);
    auto* viewingGuard = new TViewingGuard(editing_, this);
    for (QComboBox* box : {languageBox_, typeBox_, projectBox_})
        box->installEventFilter(viewingGuard);
}

// Enter on the focused cancel button abandons, as on any focused button.
void TEntryPanel::confirmKeyPressed() {
    if (cancelButton_->hasFocus())
        emit CancelClicked();
    else
        emit OkClicked();
}

void TEntryPanel::focusChanged(QWidget* now) {
    if (now == nullptr || editing_)
        return;
    for (QWidget* control :
         {static_cast<QWidget*>(languageBox_), static_cast<QWidget*>(typeBox_),
          static_cast<QWidget*>(projectBox_), static_cast<QWidget*>(dateEdit_),
          static_cast<QWidget*>(timeEdit_), static_cast<QWidget*>(descriptionMemo_)})
        if (now == control || control->isAncestorOf(now)) {
            emit ViewingFocusRefused();
            return;
        }
}

// While no entry is shown, the minutes are drawn in the field's background
// colour, so that the 0 can't be seen.
void TEntryPanel::setTimeEditHidden(bool hidden) {
    QPalette palette = QApplication::palette(timeEdit_);
    if (hidden)
        palette.setColor(QPalette::Text, palette.color(QPalette::Base));
    timeEdit_->setPalette(palette);
}

void TEntryPanel::datePickerChange() {
    dateEdit_->setText(GuiText::FromCp1252(FormatDate(datePicker_->Date())));
}

void TEntryPanel::ShowRecord(const TDataRecord* e) {
    if (e) {
        SelectValue(languageBox_, e->Language());
        SelectValue(typeBox_, e->ErrorType());
        SelectValue(projectBox_, e->Project());
        datePicker_->SetDate(e->Date);
        dateEdit_->setText(GuiText::FromCp1252(FormatDate(e->Date)));
        // The field holds 0 to 1000000; a larger stored value shows as the bound.
        timeEdit_->setValue(static_cast<int>(std::min<std::uint32_t>(e->TimeNeeded, 1000000)));
        setTimeEditHidden(false);
        descriptionMemo_->setPlainText(GuiText::ShownLines(e->Description()));
        shownDescription_ = descriptionMemo_->toPlainText();
    } else {
        for (QComboBox* box : {languageBox_, typeBox_, projectBox_})
            box->setCurrentIndex(-1);
        datePicker_->SetDate(0.0);
        dateEdit_->clear();
        timeEdit_->setValue(0);
        setTimeEditHidden(true);
        descriptionMemo_->clear();
        shownDescription_.clear();
    }
}

void TEntryPanel::LoadValueBoxes(const TDataBase& dataBase) {
    LoadBox(languageBox_, dataBase.Languages);
    LoadBox(typeBox_, dataBase.ErrorTypes);
    LoadBox(projectBox_, dataBase.Projects);
}

void TEntryPanel::SetEditing(bool editing) {
    editing_ = editing;
    timeEdit_->setReadOnly(!editing);
    descriptionMemo_->setReadOnly(!editing);
    datePicker_->setEnabled(editing);
}

// While the height changes, the buttons keep their distance to the top and
// the description and frames keep their sizes; from the end on a resize
// moves the buttons and stretches the rest.
TEntryPanel::Resizing::Resizing(TEntryPanel& panel)
    : panel_(panel), memoEdges_(panel.anchors_->Edges(panel.descriptionMemo_)),
      bevel2Edges_(panel.anchors_->Edges(panel.bevel2_)),
      bevel3Edges_(panel.anchors_->Edges(panel.bevel3_)) {
    using A = TAnchors;
    TAnchors& anchors = *panel.anchors_;
    anchors.Anchor(panel.okButton_, A::akLeft | A::akTop);
    anchors.Anchor(panel.cancelButton_, A::akTop | A::akRight);
    anchors.Anchor(panel.descriptionMemo_, memoEdges_ & ~A::akBottom);
    anchors.Anchor(panel.bevel2_, bevel2Edges_ & ~A::akBottom);
    anchors.Anchor(panel.bevel3_, bevel3Edges_ & ~A::akBottom);
    for (QWidget* w : {static_cast<QWidget*>(panel.bevel2_), static_cast<QWidget*>(panel.bevel3_),
                       static_cast<QWidget*>(panel.descriptionMemo_)})
        SetHeight(w, w->height() - 1);
}

TEntryPanel::Resizing::~Resizing() {
    using A = TAnchors;
    TEntryPanel& p = panel_;
    for (QWidget* w : {static_cast<QWidget*>(p.bevel2_), static_cast<QWidget*>(p.bevel3_),
                       static_cast<QWidget*>(p.descriptionMemo_)})
        SetHeight(w, w->height() + 1);
    TAnchors& anchors = *p.anchors_;
    anchors.Anchor(p.okButton_, A::akLeft | A::akBottom);
    anchors.Anchor(p.cancelButton_, A::akRight | A::akBottom);
    anchors.Anchor(p.descriptionMemo_, memoEdges_ | A::akBottom);
    anchors.Anchor(p.bevel2_, bevel2Edges_ | A::akBottom);
    anchors.Anchor(p.bevel3_, bevel3Edges_ | A::akBottom);
}

void TEntryPanel::ShowEditControls(bool editing) {
    if (editing) {
        for (QComboBox* box : {languageBox_, typeBox_, projectBox_}) {
            const int index = box->currentIndex();
            const QString text = box->currentText();
            box->setEditable(true);
            new TTypedTextKeeper(box);
            box->setCurrentIndex(index);
            box->setEditText(text);
        }
        languageBox_->setFocus();
        setTimeEditHidden(false);
        okButton_->show();
        cancelButton_->show();
    } else {
        for (QComboBox* box : {languageBox_, typeBox_, projectBox_})
            box->setEditable(false);
        okButton_->hide();
        cancelButton_->hide();
    }
    for (QShortcut* key : {returnKey_, enterKey_, escapeKey_})
        key->setEnabled(editing);
}

int TEntryPanel::HeightFor(bool editing) const {
    return editing ? okButton_->y() + okButton_->height() + 5 : okButton_->y() - 5;
}

void TEntryPanel::BeginNewEntry(double date, int minutes) {
    for (QComboBox* box : {languageBox_, typeBox_, projectBox_}) {
        box->setCurrentIndex(-1);
        box->setEditText(QString());
    }
    datePicker_->SetDate(date);
    dateEdit_->setText(GuiText::FromCp1252(FormatDate(date)));
    timeEdit_->setValue(minutes);
    descriptionMemo_->clear();
    addingRecord_ = true;
}

void TEntryPanel::BeginChange() {
    addingRecord_ = false;
}

int TEntryPanel::MaximumMinutes() const {
    return timeEdit_->maximum();
}

TRecordData TEntryPanel::EnteredRecord(const TDataRecord* old) const {
    TRecordData record;
    if (old)
        record.ID = old->ID;
    record.Language = StorableText(languageBox_->currentText(), "Sprache");
    record.ErrorType = StorableText(typeBox_->currentText(), "Kategorie");
    record.Project = StorableText(projectBox_->currentText(), "Projekt");
    // A change keeps the stored time of day unless another day was picked.
    const double picked = datePicker_->Date();
    const auto pickedDay = DecodeDate(picked);
    const auto oldDay = old ? DecodeDate(old->Date) : std::nullopt;
    const bool sameDay = pickedDay && oldDay && pickedDay->year == oldDay->year &&
                         pickedDay->month == oldDay->month && pickedDay->day == oldDay->day;
    record.Date = sameDay ? old->Date : picked;
    record.TimeNeeded = MinutesOf(timeEdit_);
    // An unedited description keeps its bytes, line breaks as read included.
    record.Description =
        old && descriptionMemo_->toPlainText() == shownDescription_
            ? std::string(old->Description())
            : GuiText::StoredLines(StorableText(descriptionMemo_->toPlainText(), "Beschreibung"));
    return record;
}
