// The classroom options' presentation view on Qt, and the keys as the shared key table knows
// them.
#pragma once

#include <QFont>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <string_view>

#include "draw/fitted_font.h"
#include "layout/window_commands.h"

class QKeyEvent;

namespace zorbalin::window {

// The input as layout::commandForKey takes it; none for a key that the table does not know.
layout::KeyPress pressOf(layout::InputKey key, Qt::KeyboardModifiers held, bool autoRepeat);
std::optional<layout::KeyPress> keyPressOf(const QKeyEvent& event);
// Enter on a focused button presses it, as Space does (a window's buttons are no dialog's
// default buttons, which Enter alone would press). True when it did.
bool pressFocusedButton(QObject* watched, const QKeyEvent& event);

// A second view of the window's pick: over the whole screen, without a frame, in the largest
// font in which it fits, with the help line under it. Its keys and clicks become commands
// for the window, which shows the result through showPick.
class PresentationView final : public QWidget {
    Q_OBJECT
public:
    using CommandHandler = std::function<void(layout::WindowCommand)>;
    PresentationView(CommandHandler onCommand, QWidget* owner);

    // What the window tells it to show; fitted only when it is painted, at the next frame.
    void showPick(std::u16string_view pick, std::u16string_view help);
    QString pick() const { return pick_; }
    QString help() const { return help_; }
    int pickPixels() const { return pickPixels_; }  // the font size of the last paint

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool runInput(const layout::KeyPress& press);

    CommandHandler onCommand_;
    QString pick_;
    QString help_;
    QFont font_;
    draw::FittedFont fitted_;
    QTimer frame_;
    int pickPixels_ = 0;
};

}  // namespace zorbalin::window
