// A screen reader and the scrolling pick display.
#pragma once

#include <QPointer>
#include <QWidget>

namespace zorbalin::window {

// While a draw scrolls, the pick display changes twenty times a second or more: a screen
// reader told of every change would speak of nothing else, and fall behind. From begin()
// until end(), the field's text events are dropped before they reach the screen reader; the
// result is told once the draw has stopped (Form1::announce). Everything else goes on as
// before, to the handler installed before, if any. One at a time.
class ScrollingSilence {
public:
    ScrollingSilence() = default;
    ScrollingSilence(const ScrollingSilence&) = delete;
    ScrollingSilence& operator=(const ScrollingSilence&) = delete;
    ~ScrollingSilence() { end(); }

    void watch(QWidget* field) { field_ = field; }
    void begin();
    void end();

private:
    QPointer<QWidget> field_;
};

}  // namespace zorbalin::window
