#include "gui/DatePicker.h"

#include "core/DateUtil.h"

#include <QCalendarWidget>
#include <QEvent>
#include <QHBoxLayout>
#include <QToolButton>

namespace {

QDate ToQDate(double value) {
    const auto d = DecodeDate(value);
    return d ? QDate(d->year, d->month, d->day) : QDate();
}

} // namespace

TDatePicker::TDatePicker(QWidget* parent) : QWidget(parent) {
    button_ = new QToolButton(this);
    button_->setArrowType(Qt::DownArrow);
    button_->setObjectName("DatePickerButton");
    button_->setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(button_);
    setFocusPolicy(Qt::StrongFocus);

    popup_ = new QWidget(this, Qt::Popup);
    auto* layout = new QHBoxLayout(popup_);
    layout->setContentsMargins(0, 0, 0, 0);
    calendar_ = new QCalendarWidget(popup_);
    calendar_->setGridVisible(false);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    layout->addWidget(calendar_);
    popup_->installEventFilter(this);

    connect(button_, &QToolButton::clicked, this, &TDatePicker::DropDown);
    // A day is picked by a click, or by Enter on the day chosen with the keys.
    auto pick = [this](QDate day) {
        const double value = EncodeDate({day.year(), day.month(), day.day()});
        const bool changed = value != date_;
        date_ = value;
        if (changed)
            emit Changed();
        CloseUp();
    };
    connect(calendar_, &QCalendarWidget::clicked, this, pick);
    connect(calendar_, &QCalendarWidget::activated, this, pick);
}

void TDatePicker::SetDate(double date) {
    date_ = date;
}

void TDatePicker::DropDown() {
    const QDate day = ToQDate(date_);
    if (day.isValid())
        calendar_->setSelectedDate(day);
    popup_->adjustSize();
    QPoint at = mapToGlobal(QPoint(width() - popup_->width(), height()));
    popup_->move(at);
    popup_->show();
    calendar_->setFocus();
}

void TDatePicker::CloseUp() {
    popup_->hide();
}

// The calendar closes by a pick, by Escape or by a click outside it; each
// closing is reported once.
bool TDatePicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == popup_ && event->type() == QEvent::Hide)
        emit ClosedUp();
    return QWidget::eventFilter(watched, event);
}

void TDatePicker::resizeEvent(QResizeEvent*) {
    button_->setGeometry(rect());
}
