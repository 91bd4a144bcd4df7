#pragma once

#include <QSpinBox>

// The minutes field of the detail panel, a whole number from 0 to 1000000. A
// number outside the range can be typed in full (no digit is swallowed) and
// stays as typed until the focus leaves, which corrects it to the nearer
// bound; so Enter can still bring it to OK, which refuses it.
class TMinutesEdit : public QSpinBox {
    Q_OBJECT
public:
    explicit TMinutesEdit(QWidget* parent = nullptr);

    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};
