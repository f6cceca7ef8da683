// The edge of every event handler of a window.
#pragma once

#include "base/problem.h"

namespace zorbalin::lifecycle {

// What a handler that threw tells the user: out of memory, or an internal failure with the
// exception's own text. Call it inside a catch block.
Problem problemOfCurrentException() noexcept;

// An exception leaving an event handler would end the program (neither a window procedure nor
// a Qt slot can pass it on), so every handler runs through the window's one guard. A handler
// that throws leaves nothing waiting behind (the editor keeps the text it showed), the window
// shows the problem and stays usable. The end of the outermost handler is also where the
// window puts the texts its handlers set into its controls.
class HandlerGuard {
public:
    class Window {
    public:
        // The outermost handler ended: put the texts waiting for the controls in.
        virtual void handlerEnded() = 0;
        // A handler threw: drop what it left waiting, then show the problem.
        virtual void handlerFailed(const Problem& problem, bool outermost) noexcept = 0;

    protected:
        ~Window() = default;
    };

    explicit HandlerGuard(Window& window) : window_(window) {}

    // Runs the handler; false when it threw.
    template <typename Handler>
    bool run(Handler&& handler) noexcept {
        const bool outermost = depth_ == 0;
        ++depth_;
        try {
            handler();
            if (outermost) window_.handlerEnded();
            --depth_;
            return true;
        } catch (...) {
            --depth_;
            window_.handlerFailed(problemOfCurrentException(), outermost);
            return false;
        }
    }

    // Whether a handler is running (a modal loop inside one serves the others).
    bool inHandler() const { return depth_ != 0; }

private:
    Window& window_;
    int depth_ = 0;
};

}  // namespace zorbalin::lifecycle
