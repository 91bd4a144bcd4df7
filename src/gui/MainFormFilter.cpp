// The filter command: the filter dialog edits a copy of the database's filter
// state; only OK writes the ticks back, sets the mode and rebuilds the list.
#include "core/DataBase.h"
#include "gui/FilterForm.h"
#include "gui/MainForm.h"

#include <QAction>

void TMainForm::FilterActionExecute() {
    if (FilterForm == nullptr)
        FilterForm = new TFilterForm(this);
    if (!FilterForm->Execute(*DataBase))
        return;
    // Line i of each check list stands for position i of its value list; the
    // lists can't change while the dialog is modal.
    for (int i = 0; i < DataBase->Languages.Count(); ++i)
        DataBase->Languages.Filter(i).Checked = FilterForm->LanguageChecked(i);
    for (int i = 0; i < DataBase->ErrorTypes.Count(); ++i)
        DataBase->ErrorTypes.Filter(i).Checked = FilterForm->ErrorTypeChecked(i);
    for (int i = 0; i < DataBase->Projects.Count(); ++i)
        DataBase->Projects.Filter(i).Checked = FilterForm->ProjectChecked(i);
    DataBase->SetAndFilter(FilterForm->AndFilterChecked());
    RebuildList();
}

void TMainForm::ShowOnlyValue(TValueList& list, const std::string& value) {
    const int position = list.IndexOf(value);
    if (Editing || position < 0)
        return;
    for (int i = 0; i < list.Count(); ++i)
        list.Filter(i).Checked = i == position;
    DataBase->SetAndFilter(true);
    RebuildList();
}
