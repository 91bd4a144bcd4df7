#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPageLayout;
class QPushButton;
class QSpinBox;
class QToolButton;
class TPreviewPages;

namespace report {
class ListPrintLayout;
}

// "Druckvorschau": the pages of the printed list as they will come out of the
// printer, with page navigation ("Seite n von m"), zoom and a "Drucken..."
// button that leads on to the print dialog. It shows a layout that its caller
// paginated on the printer; only the pages in view are painted.
class TPrintPreviewForm : public QDialog {
    Q_OBJECT
public:
    // The result with which "Drucken..." closes the dialog.
    static constexpr int PrintResult = 2;

    explicit TPrintPreviewForm(QWidget* parent);

    // Shows the pages of `layout` (paginated on a device with `pageLayout` at
    // `resolution`) modally, from the first page. True when the user asked to
    // print them.
    bool Execute(const report::ListPrintLayout& layout, const QPageLayout& pageLayout,
                 int resolution);

    QToolButton* FirstPageButton;
    QToolButton* PreviousPageButton;
    QSpinBox* PageBox;
    QLabel* PageCountLabel;
    QToolButton* NextPageButton;
    QToolButton* LastPageButton;
    QToolButton* ZoomOutButton;
    QComboBox* ZoomBox;
    QToolButton* ZoomInButton;
    QPushButton* PrintButton;
    QPushButton* CloseButton;
    TPreviewPages* Pages;
    QLabel* PageLabel; // "Seite n von m"

private:
    void showCurrentPage(int index);
    void zoomChosen(int item);
    void zoomStep(int direction); // +1 larger, -1 smaller
    void showZoom();
};
