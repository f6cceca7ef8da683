// The small window over the slides (悬浮窗) on Qt.
#pragma once

#include <QFont>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

#include "draw/fitted_font.h"

class QPushButton;
class QToolButton;

namespace zorbalin::window {

// The pick in a large font and one button that starts and stops, over every other window,
// and never taking the keyboard focus from the program that has it (the slide show keeps
// its remote). Moved by dragging it anywhere but on its buttons; closed from its own small
// close mark. It tells the window what the user did and shows what the window tells it.
class FloatingWindow final : public QWidget {
    Q_OBJECT
public:
    struct Handlers {
        std::function<void()> pressed;             // its button
        std::function<void(QPoint topLeft)> moved;  // dragged to a new place
        std::function<void()> closed;              // its close mark
    };
    explicit FloatingWindow(Handlers handlers);

    // Shown at `at` (its top left), or near the top right of the screen `near` stands on,
    // wholly on a screen that exists.
    void open(std::optional<QPoint> at, const QWidget& near);
    void showContent(const QString& pick, const QString& caption);
    // The result as a screen reader is to find it, once a draw has stopped.
    void setResultForScreenReader(const QString& result);

    QString pick() const { return pick_; }
    int pickPixels() const { return pickPixels_; }  // the font size of the last paint

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect pickArea() const;

    Handlers handlers_;
    QPushButton* button_;
    QToolButton* close_;
    QString pick_;
    QFont font_;
    draw::FittedFont fitted_;
    int pickPixels_ = 0;
    std::optional<QPoint> grabbedAt_;  // where in the window a drag holds it
    bool dragged_ = false;
};

}  // namespace zorbalin::window
