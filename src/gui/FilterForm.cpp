#include "FilterForm.h"

#include "Cp1252.h"
#include "DataBase.h"
#include "ValueList.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

namespace {

// The dialogs are laid out in pixels for a font 11 pixels high; a font with
// Arial's widths keeps every text inside its box where the classic dialog font
// is missing.
QFont DialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans")});
    font.setPixelSize(11);
    return font;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

void FillList(QListWidget* list, const TValueList& values) {
    list->clear();
    for (int i = 0; i < values.Count(); ++i) {
        auto* item = new QListWidgetItem(QString::fromUtf8(cp1252::ToUtf8(values.Value(i))));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(values.Filter(i).Checked ? Qt::Checked : Qt::Unchecked);
        list->addItem(item);
    }
}

bool IsChecked(const QListWidget* list, int i) {
    const QListWidgetItem* item = (i >= 0 && i < list->count()) ? list->item(i) : nullptr;
    return item != nullptr && item->checkState() == Qt::Checked;
}

template <typename NewState> void SetAll(QListWidget* list, NewState newState) {
    if (list == nullptr)
        return;
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        item->setCheckState(newState(item->checkState() == Qt::Checked) ? Qt::Checked
                                                                        : Qt::Unchecked);
    }
}

} // namespace

TFilterForm::TFilterForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FilterForm"));
    setWindowTitle(QStringLiteral("Filter und Sortieren"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    setFixedSize(572, 327);

    LanguageLabel =
        MakeLabel(this, "LanguageLabel", QStringLiteral("Programmiersprachen:"), 20, 15);
    ErrorLabel = MakeLabel(this, "ErrorLabel", QStringLiteral("Fehllertypen:"), 184, 15);
    ProjectLabel = MakeLabel(this, "ProjectLabel", QStringLiteral("Projekte:"), 384, 16);

    LanguageCheck =
        MakeCheckList("LanguageCheck", QStringLiteral("Definition des Programmiersprachenfilters"));
    LanguageCheck->setGeometry(20, 35, 146, 193);
    ErrorCheck = MakeCheckList("ErrorCheck", QStringLiteral("Definition des Fehlertypenfilters"));
    ErrorCheck->setGeometry(184, 35, 181, 193);
    ProjectCheck = MakeCheckList("ProjectCheck", QStringLiteral("Definition des Projektfilters"));
    ProjectCheck->setGeometry(384, 35, 169, 193);
    LanguageLabel->setBuddy(LanguageCheck);
    ErrorLabel->setBuddy(ErrorCheck);
    ProjectLabel->setBuddy(ProjectCheck);

    AndFilterCheckBox = new QCheckBox(QStringLiteral("&Eintrag muß allen Filtern genügen"), this);
    AndFilterCheckBox->setObjectName(QStringLiteral("AndFilterCheckBox"));
    AndFilterCheckBox->setToolTip(
        QStringLiteral("nur Datensätze, die allen Filtern genügen, werden gezeigt"));
    AndFilterCheckBox->setGeometry(20, 247, 197, 19);

    FilterReset = new QPushButton(QStringLiteral("&Filter zurücksetzen"), this);
    FilterReset->setObjectName(QStringLiteral("FilterReset"));
    FilterReset->setToolTip(
        QStringLiteral("setzt den Filter auf den Standard zurück (alles wird gezeigt)"));
    FilterReset->setAutoDefault(false);
    FilterReset->setGeometry(437, 248, 116, 27);

    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setToolTip(QStringLiteral("bestätigt den neuen Filter"));
    OkButton->setDefault(true);
    OkButton->setGeometry(20, 285, 116, 27);

    CancelButton = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setToolTip(QStringLiteral(
        "bricht die Filterdefinition unter Beibehaltung der alten Einstellungen ab"));
    CancelButton->setAutoDefault(false);
    CancelButton->setGeometry(437, 288, 116, 27);

    CheckPopup = new QMenu(this);
    CheckPopup->setObjectName(QStringLiteral("CheckPopup"));
    SelectAll = CheckPopup->addAction(QStringLiteral("&alle auswählen"));
    SelectAll->setObjectName(QStringLiteral("SelectAll"));
    SelectNothing = CheckPopup->addAction(QStringLiteral("&keine auswählen"));
    SelectNothing->setObjectName(QStringLiteral("SelectNothing"));
    Invert = CheckPopup->addAction(QStringLiteral("Auswahl &invertieren"));
    Invert->setObjectName(QStringLiteral("Invert"));

    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(FilterReset, &QPushButton::clicked, this, &TFilterForm::FilterResetClick);
    connect(SelectAll, &QAction::triggered, this, &TFilterForm::SelectAllClick);
    connect(SelectNothing, &QAction::triggered, this, &TFilterForm::SelectNothingClick);
    connect(Invert, &QAction::triggered, this, &TFilterForm::InvertClick);

    setTabOrder(LanguageCheck, ErrorCheck);
    setTabOrder(ErrorCheck, CancelButton);
    setTabOrder(CancelButton, OkButton);
    setTabOrder(OkButton, FilterReset);
    setTabOrder(FilterReset, AndFilterCheckBox);
    setTabOrder(AndFilterCheckBox, ProjectCheck);
}

QListWidget* TFilterForm::MakeCheckList(const char* name, const QString& hint) {
    auto* list = new QListWidget(this);
    list->setObjectName(QString::fromLatin1(name));
    list->setToolTip(hint);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this,
            [this, list](const QPoint& pos) { CheckPopupRequested(list, pos); });
    return list;
}

void TFilterForm::CheckPopupRequested(QListWidget* list, const QPoint& pos) {
    // Remember the list now: the commands act on the list the menu was opened
    // on, wherever the focus goes meanwhile.
    PopupTarget = list;
    CheckPopup->popup(list->viewport()->mapToGlobal(pos));
}

void TFilterForm::Fill(const TDataBase& dataBase) {
    FillList(LanguageCheck, dataBase.Languages);
    FillList(ErrorCheck, dataBase.ErrorTypes);
    FillList(ProjectCheck, dataBase.Projects);
    AndFilterCheckBox->setChecked(dataBase.AndFilter);
}

bool TFilterForm::Execute(const TDataBase& dataBase) {
    Fill(dataBase);
    return exec() == QDialog::Accepted;
}

bool TFilterForm::LanguageChecked(int i) const {
    return IsChecked(LanguageCheck, i);
}
bool TFilterForm::ErrorTypeChecked(int i) const {
    return IsChecked(ErrorCheck, i);
}
bool TFilterForm::ProjectChecked(int i) const {
    return IsChecked(ProjectCheck, i);
}
bool TFilterForm::AndFilterChecked() const {
    return AndFilterCheckBox->isChecked();
}

void TFilterForm::FilterResetClick() {
    for (QListWidget* list : {LanguageCheck, ErrorCheck, ProjectCheck})
        SetAll(list, [](bool) { return true; });
    AndFilterCheckBox->setChecked(false);
}

void TFilterForm::SelectAllClick() {
    SetAll(PopupTarget, [](bool) { return true; });
}

void TFilterForm::SelectNothingClick() {
    SetAll(PopupTarget, [](bool) { return false; });
}

void TFilterForm::InvertClick() {
    SetAll(PopupTarget, [](bool checked) { return !checked; });
}
