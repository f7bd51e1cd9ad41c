#pragma once

#include <QWidget>

namespace kavrin {

class DockLightPreview;
class DockSidebar;
class HardwareEditor;
class ModeSwitch;
class SoftwareEffectsPanel;
class StudioHeader;
class StudioModel;

// The application's only window: the dock sidebar and the editor, bound to the studio model. It owns
// the model's change handler and passes every change on to its parts.
class StudioWindow : public QWidget {
    Q_OBJECT

public:
    explicit StudioWindow(StudioModel& model, QWidget* parent = nullptr);
    ~StudioWindow() override;

    StudioWindow(const StudioWindow&) = delete;
    StudioWindow& operator=(const StudioWindow&) = delete;

    // Re-reads the whole model; the model's change handler calls it.
    void refresh();

private:
    QWidget* makeEditor();

    StudioModel& model_;
    DockSidebar* sidebar_ = nullptr;
    StudioHeader* header_ = nullptr;
    ModeSwitch* modeSwitch_ = nullptr;
    DockLightPreview* preview_ = nullptr;
    HardwareEditor* hardware_ = nullptr;
    SoftwareEffectsPanel* software_ = nullptr;
};

} // namespace kavrin
