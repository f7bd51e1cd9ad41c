#pragma once

#include <QWidget>

class QLabel;
class QSlider;

namespace kavrin {

// A labelled slider row: title, slider with step 1, value label. Object names are the name given
// plus "Slider" and "Value".
class SliderRow : public QWidget {
    Q_OBJECT

public:
    SliderRow(const QString& title, const QString& name, int titleWidth, int valueWidth, QWidget* parent = nullptr);
    // Shows the model's value without reporting it back as an edit.
    void showValue(int value, int minimum, int maximum, const QString& label);

signals:
    void valueEdited(int value);

private:
    QSlider* slider_;
    QLabel* value_;
};

} // namespace kavrin
