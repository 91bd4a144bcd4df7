#include "app/ProgramStart.h"

#include "gui/ErrorReport.h"
#include "gui/FilterForm.h"
#include "gui/InfoForm.h"
#include "gui/MainForm.h"
#include "gui/OptionForm.h"
#include "gui/Prompt.h"
#include "login/LoginStep.h"

#include <exception>

std::unique_ptr<TMainForm> StartProgram(const QString& loginLibraryFolder,
                                        const std::string& fileName) {
    switch (PerformLogin("Mavrolin", loginLibraryFolder)) {
    case LoginResult::LoggedIn:
        break;
    case LoginResult::Refused:
        return nullptr;
    case LoginResult::LibraryMissing:
        Prompt::Message(nullptr, Prompt::Kind::System, QString::fromUtf8(login::MissingLibraryText),
                        Prompt::Ok, QString::fromUtf8(login::MissingLibraryCaption));
        return nullptr;
    }

    auto form = std::make_unique<TMainForm>();
    try {
        form->FormCreate(LoggedUserName, fileName);
    } catch (const std::exception& error) {
        // Without its settings store the window can't work: report and end.
        ErrorReport::Show(nullptr, error);
        return nullptr;
    }
    form->SetDialogs(new TFilterForm(form.get()), new TInfoForm(form.get()),
                     new TOptionForm(form.get()));
    return form;
}
