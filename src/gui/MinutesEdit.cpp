#include "gui/MinutesEdit.h"

#include <QRegularExpression>

namespace {

// A whole number with or without sign, possibly too long for any range.
bool IsWholeNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*-?\\d+\\s*$"));
    return number.match(text).hasMatch();
}

} // namespace

TMinutesEdit::TMinutesEdit(QWidget* parent) : QSpinBox(parent) {
    setRange(0, 1000000);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State TMinutesEdit::validate(QString& input, int& pos) const {
    const QValidator::State state = QSpinBox::validate(input, pos);
    if (state == QValidator::Invalid &&
        (IsWholeNumber(input) || input.trimmed() == QLatin1String("-")))
        return QValidator::Intermediate;
    return state;
}

void TMinutesEdit::fixup(QString& input) const {
    if (IsWholeNumber(input))
        input =
            QString::number(input.trimmed().startsWith(QLatin1Char('-')) ? minimum() : maximum());
    else
        QSpinBox::fixup(input);
}
