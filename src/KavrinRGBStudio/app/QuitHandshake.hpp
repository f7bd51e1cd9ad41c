#pragma once

#include <functional>

namespace kavrin {

class StudioModel;

// Answers every request to end the application. With nothing pending the application ends at once
// and the model is left as it is; otherwise the model refuses new work, stops live output and
// restores the docks, and the application ends when the last operation in flight has finished.
class QuitHandshake {
public:
    // `quit` ends the application; it is called once, on the main thread.
    QuitHandshake(StudioModel& model, std::function<void()> quit);

    // A request while one is waiting changes nothing: the same drain answers both.
    void request();

private:
    StudioModel& model_;
    std::function<void()> quit_;
    bool waiting_ = false;
};

} // namespace kavrin
