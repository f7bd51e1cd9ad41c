#pragma once

#include <QWidget>

#include <vector>

class QLabel;
class QPushButton;

namespace kavrin {

class StudioModel;

// The editor's title row: the slogan, what is selected, and the connection badge.
class StudioHeader : public QWidget {
    Q_OBJECT

public:
    explicit StudioHeader(StudioModel& model, QWidget* parent = nullptr);
    void refresh();

private:
    StudioModel& model_;
    QLabel* subtitle_;
    QLabel* badge_;
};

// The badge's word, first match wins.
QString badgeWord(const StudioModel& model);

// The segmented switch between the hardware and the software editor.
class ModeSwitch : public QWidget {
    Q_OBJECT

public:
    explicit ModeSwitch(StudioModel& model, QWidget* parent = nullptr);
    void refresh();

private:
    StudioModel& model_;
    QWidget* segments_;
    std::vector<QPushButton*> buttons_;
};

} // namespace kavrin
