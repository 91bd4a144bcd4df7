#pragma once

#include <QWidget>

class QCalendarWidget;
class QToolButton;

// A date picker of which only the drop-down button shows; the drop-down is a
// month calendar. Its value is a date value (days since 30 Dec 1899).
class TDatePicker : public QWidget {
    Q_OBJECT
public:
    explicit TDatePicker(QWidget* parent = nullptr);

    double Date() const { return date_; }
    // Sets the value without emitting Changed.
    void SetDate(double date);
    QToolButton* Button() const { return button_; }
    QCalendarWidget* Calendar() const { return calendar_; }

    void DropDown();
    void CloseUp();

signals:
    void Changed();  // the user picked another day
    void ClosedUp(); // the calendar closed

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* button_;
    QWidget* popup_;
    QCalendarWidget* calendar_;
    double date_ = 0.0;
};
