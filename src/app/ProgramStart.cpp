#include "ProgramStart.h"

#include "ErrorReport.h"
#include "FilterForm.h"
#include "InfoForm.h"
#include "LoginStep.h"
#include "MainForm.h"
#include "OptionForm.h"
#include "Prompt.h"

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
    form->FilterForm = new TFilterForm(form.get());
    form->InfoForm = new TInfoForm(form.get());
    form->OptionForm = new TOptionForm(form.get());
    return form;
}
