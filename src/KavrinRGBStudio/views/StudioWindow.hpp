#pragma once

#include <QWidget>

namespace kavrin {

class StudioModel;

// The application's only window: the dock sidebar and the editor, bound to the studio model.
class StudioWindow : public QWidget {
    Q_OBJECT

public:
    explicit StudioWindow(StudioModel& model, QWidget* parent = nullptr);

private:
    StudioModel& model_;
};

} // namespace kavrin
