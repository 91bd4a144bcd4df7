#pragma once

#include <QString>
#include <memory>
#include <string>

class TMainForm;

// The start of the program up to its event loop: the login, then the windows
// in their order (main window, filter dialog, information dialog, options
// dialog). The dialogs are created hidden as children of the main window,
// which reaches them through its FilterForm, InfoForm and OptionForm members;
// they are reused for the whole run and go with the main window.
//
// Returns the main window, not yet shown, or nothing when the program has to
// end: the login was refused (no message), the login library is missing or
// incomplete (the "Fataler Fehler" box was shown), or creating the main window
// failed (the general error report was shown). No window is shown in these
// cases. Needs the application object; its name is the report's caption.
//
// `fileName` (native path bytes), when not empty, is opened in place of the
// stored database.
std::unique_ptr<TMainForm> StartProgram(const QString& loginLibraryFolder,
                                        const std::string& fileName = {});
