#include "gui/PreviewPages.h"

#include "report/ListPrintLayout.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int Gap = 16; // pixels around and between the pages

} // namespace

TPreviewPages::TPreviewPages(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("PreviewPages"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
}

void TPreviewPages::SetPages(const report::ListPrintLayout* layout, const QPageLayout& pageLayout,
                             int resolution) {
    layout_ = layout;
    resolution_ = std::max(1, resolution);
    paper_ = pageLayout.fullRectPixels(resolution_).size();
    paintArea_ = pageLayout.paintRectPixels(resolution_).topLeft();
    current_ = -1;
    firstPainted_ = lastPainted_ = -1;
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    updateCurrentPage();
    viewport()->update();
    emit ZoomChanged();
}

int TPreviewPages::PageCount() const {
    return layout_ ? layout_->PageCount() : 0;
}

double TPreviewPages::scale() const {
    if (paper_.isEmpty())
        return 1.0;
    const double room = std::max(1, viewport()->width() - 2 * Gap);
    const double width = room / paper_.width();
    switch (zoom_) {
    case Zoom::PageWidth:
        return width;
    case Zoom::WholePage:
        return std::min(width, std::max(1, viewport()->height() - 2 * Gap) / paper_.height());
    case Zoom::Percent:
        break;
    }
    return percent_ / 100.0 * logicalDpiX() / resolution_;
}

double TPreviewPages::ZoomPercent() const {
    return scale() * resolution_ / logicalDpiX() * 100.0;
}

QSize TPreviewPages::pagePixels() const {
    const double s = scale();
    return {std::max(1, static_cast<int>(std::lround(paper_.width() * s))),
            std::max(1, static_cast<int>(std::lround(paper_.height() * s)))};
}

int TPreviewPages::stride() const {
    return pagePixels().height() + Gap;
}

void TPreviewPages::SetZoom(Zoom zoom, double percent) {
    // The page in view stays in view, at the same share of its height.
    const int page = std::max(0, current_);
    const double within =
        static_cast<double>(verticalScrollBar()->value() - page * stride()) / stride();
    zoom_ = zoom;
    percent_ = std::clamp(percent, MinPercent, MaxPercent);
    updateScrollBars();
    verticalScrollBar()->setValue(
        static_cast<int>(std::lround((page + std::clamp(within, 0.0, 1.0)) * stride())));
    updateCurrentPage();
    viewport()->update();
    emit ZoomChanged();
}

void TPreviewPages::ShowPage(int index) {
    if (PageCount() == 0)
        return;
    verticalScrollBar()->setValue(std::clamp(index, 0, PageCount() - 1) * stride());
    updateCurrentPage();
}

void TPreviewPages::updateScrollBars() {
    const QSize page = pagePixels();
    // Kept within the scroll bar's range: at most some 200,000 pages at the
    // largest size, far more than a million entries make.
    const double height = static_cast<double>(PageCount()) * stride() + Gap;
    const int total = static_cast<int>(std::min<double>(height, std::numeric_limits<int>::max()));
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, std::max(0, total - viewport()->height()));
    vertical->setPageStep(viewport()->height());
    vertical->setSingleStep(std::max(1, page.height() / 20));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, page.width() + 2 * Gap - viewport()->width()));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(std::max(1, page.width() / 20));
}

void TPreviewPages::updateCurrentPage() {
    int page = -1;
    if (PageCount() > 0) {
        // The page under the upper third of the view.
        const int at = verticalScrollBar()->value() + viewport()->height() / 3;
        page = std::clamp(at / stride(), 0, PageCount() - 1);
    }
    if (page != current_) {
        current_ = page;
        emit CurrentPageChanged(page);
    }
}

void TPreviewPages::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (zoom_ == Zoom::Percent) {
        updateScrollBars();
        return;
    }
    SetZoom(zoom_, percent_); // the fitted size follows the view
}

void TPreviewPages::scrollContentsBy(int /*dx*/, int /*dy*/) {
    updateCurrentPage();
    viewport()->update();
}

void TPreviewPages::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && PageCount() > 0) {
        switch (event->key()) {
        case Qt::Key_PageDown:
            ShowPage(current_ + 1);
            return;
        case Qt::Key_PageUp:
            ShowPage(current_ - 1);
            return;
        case Qt::Key_Home:
            ShowPage(0);
            return;
        case Qt::Key_End:
            ShowPage(PageCount() - 1);
            return;
        default:
            break;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void TPreviewPages::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        if (const int y = event->angleDelta().y(); y != 0)
            emit ZoomStepped(y > 0 ? 1 : -1);
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void TPreviewPages::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const int count = PageCount();
    if (count == 0 || paper_.isEmpty())
        return;
    const QSize page = pagePixels();
    const double s = scale();
    const int top = verticalScrollBar()->value();
    const int room = viewport()->width();
    const int left = page.width() + 2 * Gap <= room ? (room - page.width()) / 2
                                                    : Gap - horizontalScrollBar()->value();
    const QRect dirty = event->rect();
    const int first = std::clamp((top + dirty.top() - Gap) / stride(), 0, count - 1);
    const int last = std::clamp((top + dirty.bottom()) / stride(), 0, count - 1);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    int painted = -1;
    for (int index = first; index <= last; ++index) {
        const QRect sheet(left, Gap + index * stride() - top, page.width(), page.height());
        if (!sheet.intersects(dirty))
            continue;
        if (painted < 0)
            firstPainted_ = index;
        painted = index;
        painter.fillRect(sheet.translated(3, 3), palette().shadow());
        painter.fillRect(sheet, Qt::white);
        painter.save();
        painter.setClipRect(sheet);
        painter.translate(sheet.topLeft());
        painter.scale(s, s);
        painter.translate(paintArea_);
        layout_->PaintPage(painter, index);
        painter.restore();
    }
    if (painted >= 0) {
        lastPainted_ = painted;
        ++paintCount_;
    }
}
