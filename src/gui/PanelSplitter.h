#pragma once

#include <QSplitter>
#include <functional>

class QSplitterHandle;

// The bar between the list and the detail panel. A drag of its handle passes
// through the window's limits (the handle's own move is replaced by the width
// that they settle on), and the detail panel's planned width is applied when
// the splitter is shown and kept while it is hidden, since a hidden splitter
// has no real geometry.
class TPanelSplitter : public QSplitter {
    Q_OBJECT
public:
    // newSize: the proposed width of the detail panel, changed to stay in limits.
    using CanResize = std::function<void(int& newSize, bool& accept)>;
    // Gives the detail panel this width.
    using Resize = std::function<void(int width)>;

    TPanelSplitter(QWidget* list, QWidget* detail, int handleWidth, QWidget* parent);
    // The window's part of a drag and of a show; empty ones end both (the
    // window is going).
    void SetHooks(CanResize canResize, Resize resize);

    // The detail panel's width while the splitter is hidden, and to come.
    [[nodiscard]] int PlannedDetailWidth() const { return planned_; }
    void SetPlannedDetailWidth(int width) { planned_ = width; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CanResize canResize_;
    Resize resize_;
    int planned_ = 0;
    int grabOffset_ = 0;
};
