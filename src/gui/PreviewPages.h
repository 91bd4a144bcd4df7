#pragma once

#include <QAbstractScrollArea>
#include <QPageLayout>
#include <QPointF>
#include <QSizeF>

namespace report {
class ListPrintLayout;
}

// The pages of a printed list on screen, one below the other, as paper on a
// grey ground. Only the pages in view are painted, each when it comes into
// view, straight from the layout: a list of tens of thousands of pages costs
// no more than one of a single page.
class TPreviewPages : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TPreviewPages(QWidget* parent);

    // The pages of `layout`, paginated on a device with `pageLayout` at
    // `resolution` dots per inch; null for none. The layout must outlive its
    // use here.
    void SetPages(const report::ListPrintLayout* layout, const QPageLayout& pageLayout,
                  int resolution);
    [[nodiscard]] int PageCount() const;
    // The page that fills the view most, 0-based; -1 without pages.
    [[nodiscard]] int CurrentPage() const { return current_; }
    // Scrolls page `index` (0-based, clamped) to the top of the view.
    void ShowPage(int index);

    // The size: the whole page or its width in the view, or a share of the
    // paper's real size.
    enum class Zoom { WholePage, PageWidth, Percent };
    void SetZoom(Zoom zoom, double percent = 100.0);
    // The size as a share of the paper's real size, whatever the zoom.
    [[nodiscard]] double ZoomPercent() const;

    // The pages painted last (0-based, first and last; -1 and -1 for none),
    // and how many paint events painted a page.
    [[nodiscard]] int FirstPainted() const { return firstPainted_; }
    [[nodiscard]] int LastPainted() const { return lastPainted_; }
    [[nodiscard]] int PaintCount() const { return paintCount_; }

    static constexpr double MinPercent = 10.0;
    static constexpr double MaxPercent = 400.0;

signals:
    void CurrentPageChanged(int index);
    // Ctrl and the mouse wheel ask for the next size up (+1) or down (-1).
    void ZoomStepped(int direction);
    // The pages' size changed (a new zoom, or the view's size for a fitted one).
    void ZoomChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Screen pixels per device unit of the paginated device.
    [[nodiscard]] double scale() const;
    [[nodiscard]] QSize pagePixels() const;
    [[nodiscard]] int stride() const; // a page and the gap below it
    void updateScrollBars();
    void updateCurrentPage();

    const report::ListPrintLayout* layout_ = nullptr;
    QSizeF paper_;      // the whole sheet in device units
    QPointF paintArea_; // where the layout's origin lies on the sheet
    int resolution_ = 1200;
    Zoom zoom_ = Zoom::WholePage;
    double percent_ = 100.0;
    int current_ = -1;
    int firstPainted_ = -1;
    int lastPainted_ = -1;
    int paintCount_ = 0;
};
