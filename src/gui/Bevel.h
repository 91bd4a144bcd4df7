#pragma once

#include <QWidget>

// A drawn frame without contents: a sunken groove around the whole rectangle
// (Frame), a sunken box (Box), or a raised line along the top edge (TopLine).
class TBevel : public QWidget {
    Q_OBJECT
public:
    enum class Shape { Frame, Box, TopLine };
    TBevel(Shape shape, QWidget* parent);
    Shape shape() const { return shape_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Shape shape_;
};
