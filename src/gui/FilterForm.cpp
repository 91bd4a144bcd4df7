#include "gui/FilterForm.h"

#include "core/Cp1252.h"
#include "core/DataBase.h"
#include "core/ValueList.h"
#include "gui/FormSetup.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

namespace {

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
    SetUpDialog(*this, "FilterForm", QStringLiteral("Filter und Sortieren"),
                Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                    Qt::WindowCloseButtonHint,
                QSize(572, 327));

    // The labels are sized to their texts.
    LanguageLabel = MakeControl<QLabel>(
        this, "LanguageLabel", QStringLiteral("Programmiersprachen:"), {}, QRect(20, 15, 0, 0));
    ErrorLabel = MakeControl<QLabel>(this, "ErrorLabel", QStringLiteral("Fehllertypen:"), {},
                                     QRect(184, 15, 0, 0));
    ProjectLabel = MakeControl<QLabel>(this, "ProjectLabel", QStringLiteral("Projekte:"), {},
                                       QRect(384, 16, 0, 0));
    for (QLabel* label : {LanguageLabel, ErrorLabel, ProjectLabel})
        label->adjustSize();

    LanguageCheck =
        makeCheckList("LanguageCheck", QStringLiteral("Definition des Programmiersprachenfilters"));
    LanguageCheck->setGeometry(20, 35, 146, 193);
    ErrorCheck = makeCheckList("ErrorCheck", QStringLiteral("Definition des Fehlertypenfilters"));
    ErrorCheck->setGeometry(184, 35, 181, 193);
    ProjectCheck = makeCheckList("ProjectCheck", QStringLiteral("Definition des Projektfilters"));
    ProjectCheck->setGeometry(384, 35, 169, 193);
    LanguageLabel->setBuddy(LanguageCheck);
    ErrorLabel->setBuddy(ErrorCheck);
    ProjectLabel->setBuddy(ProjectCheck);

    // Grows to its caption at most up to the reset button.
    AndFilterCheckBox = MakeCheckBox(
        this, "AndFilterCheckBox", QStringLiteral("&Eintrag muß allen Filtern genügen"),
        QStringLiteral("nur Datensätze, die allen Filtern genügen, werden gezeigt"),
        QRect(20, 247, 197, 19), 437);
    FilterReset = MakeControl<QPushButton>(
        this, "FilterReset", QStringLiteral("&Filter zurücksetzen"),
        QStringLiteral("setzt den Filter auf den Standard zurück (alles wird gezeigt)"),
        QRect(437, 248, 116, 27));
    OkButton = MakeOkButton(*this, QStringLiteral("bestätigt den neuen Filter"),
                            QRect(20, 285, 116, 27), false);
    CancelButton = MakeCancelButton(
        *this, QStringLiteral("Abbrechen"),
        QStringLiteral("bricht die Filterdefinition unter Beibehaltung der alten Einstellungen ab"),
        QRect(437, 288, 116, 27), false);

    CheckPopup = new QMenu(this);
    CheckPopup->setObjectName(QStringLiteral("CheckPopup"));
    SelectAll = CheckPopup->addAction(QStringLiteral("&alle auswählen"));
    SelectAll->setObjectName(QStringLiteral("SelectAll"));
    SelectNothing = CheckPopup->addAction(QStringLiteral("&keine auswählen"));
    SelectNothing->setObjectName(QStringLiteral("SelectNothing"));
    Invert = CheckPopup->addAction(QStringLiteral("Auswahl &invertieren"));
    Invert->setObjectName(QStringLiteral("Invert"));

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

QListWidget* TFilterForm::makeCheckList(const char* name, const QString& hint) {
    auto* list = new QListWidget(this);
    list->setObjectName(QString::fromLatin1(name));
    list->setToolTip(hint);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this,
            [this, list](const QPoint& pos) { checkPopupRequested(list, pos); });
    return list;
}

void TFilterForm::checkPopupRequested(QListWidget* list, const QPoint& pos) {
    // Remember the list now: the commands act on the list the menu was opened
    // on, wherever the focus goes meanwhile.
    popupTarget_ = list;
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
    SetAll(popupTarget_, [](bool) { return true; });
}

void TFilterForm::SelectNothingClick() {
    SetAll(popupTarget_, [](bool) { return false; });
}

void TFilterForm::InvertClick() {
    SetAll(popupTarget_, [](bool checked) { return !checked; });
}

TFilterTicks TFilterForm::Ticks() const {
    const auto lines = [](const QListWidget* list, bool (TFilterForm::*checked)(int) const,
                          const TFilterForm& form) {
        std::vector<bool> ticks;
        ticks.reserve(static_cast<std::size_t>(list->count()));
        for (int i = 0; i < list->count(); ++i)
            ticks.push_back((form.*checked)(i));
        return ticks;
    };
    return {lines(LanguageCheck, &TFilterForm::LanguageChecked, *this),
            lines(ErrorCheck, &TFilterForm::ErrorTypeChecked, *this),
            lines(ProjectCheck, &TFilterForm::ProjectChecked, *this), AndFilterChecked()};
}
