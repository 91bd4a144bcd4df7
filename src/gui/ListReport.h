#pragma once

#include "gui/FileDialogSlot.h"

#include <QObject>

class QWidget;
class TDocument;
class TFileChooser;
class TRecordListPanel;
class TReportForm;
class TSearchBar;

// "Bericht..." of the main window: a review report of the entries that the
// list shows (the filter and the search) in a chosen period, written as a PDF
// or an HTML page. Owns the report dialog and the report's file dialog, each
// made at its first use.
class TListReport : public QObject {
    Q_OBJECT
public:
    TListReport(QWidget* window, const TDocument& document, const TRecordListPanel& list,
                const TSearchBar& search, TFileChooser& chooser);

    // The dialog, the file dialog, then the report; a file that cannot be
    // written is reported and stays as it was.
    void Write();

private:
    QWidget* window_;
    const TDocument& document_;
    const TRecordListPanel& list_;
    const TSearchBar& search_;
    TFileChooser& chooser_;
    TReportForm* form_ = nullptr;
    TFileDialogSlot fileDialog_;
};
