#pragma once

#include <QObject>
#include <cstdint>
#include <memory>
#include <vector>

class QPrinter;
class QWidget;
class TDataRecord;
class TDocument;
class TPrintPreviewForm;
class TRecordListPanel;
class TSearchBar;

namespace report {
class ListPrintLayout;
struct PageRange;
struct PrintProgress;
enum class PrintOutcome : std::uint8_t;
} // namespace report

// Printing the list of the main window: the listed entries in list order
// (filter, search and sort as shown) with the shown columns and each
// description below its entry, under a head naming the database, the filter
// and the search. "Drucken..." goes through Qt's print dialog (a printer or a
// PDF file, which is replaced only once it is complete); "Druckvorschau..."
// shows the pages lazily. Long paging and printing show a progress dialog
// that cancels.
class TListPrinter : public QObject {
    Q_OBJECT
public:
    TListPrinter(QWidget* window, const TDocument& document, const TRecordListPanel& list,
                 const TSearchBar& search);
    ~TListPrinter() override;

    // "Drucken...": the print dialog, then the pages it asks for.
    void Print();
    // "Druckvorschau...": the pages as the printer will print them; its
    // "Drucken..." leads on to the print dialog.
    void Preview();

    // The printer with the settings of the print dialog, made at its first
    // use and kept for the run.
    QPrinter& Printer();

private:
    // The layout of the listed entries as they are now.
    std::unique_ptr<report::ListPrintLayout> listLayout();
    // Prints `layout` to the printer as its dialog set it up.
    void printLayout(report::ListPrintLayout& layout);
    report::PrintOutcome printOnPrinter(report::ListPrintLayout& layout, report::PageRange asked,
                                        const report::PrintProgress& progress);

    QWidget* window_;
    const TDocument& document_;
    const TRecordListPanel& list_;
    const TSearchBar& search_;
    std::unique_ptr<QPrinter> printer_;
    TPrintPreviewForm* previewForm_ = nullptr; // made at its first use
    // The listed entries that a layout reads: a copy, so that the list may
    // change (a search applied meanwhile) while the layout is in use.
    std::vector<const TDataRecord*> rows_;
};
