// The classroom options' presentation view on Qt, and the keys as the shared key table knows
// them.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "draw/fitted_font.h"
#include "layout/window_commands.h"

class QKeyEvent;

namespace zorbalin::window {

// A pick too long for one line wraps between words, and between Chinese characters.
inline constexpr int kPickFlags = Qt::AlignCenter | Qt::TextWordWrap;
// The application's font, and for the characters it lacks a font that has Simplified
// Chinese: left to the general fallback, Chinese may get the shapes of another language.
QFont fontWithChinese();
// The box of a pick in `font` at a size, as it is drawn with kPickFlags (sets its size).
draw::MeasureText pickMeasure(QFont& font);

// The input as layout::commandForKey takes it; none for a key that the table does not know.
layout::KeyPress pressOf(layout::InputKey key, Qt::KeyboardModifiers held, bool autoRepeat);
std::optional<layout::KeyPress> keyPressOf(const QKeyEvent& event);
// Enter on a focused button presses it, as Space does (a window's buttons are no dialog's
// default buttons, which Enter alone would press). True when it did.
bool pressFocusedButton(QObject* watched, const QKeyEvent& event);

// A second view of the window's pick: over the whole screen, without a frame, in the largest
// font in which it fits, with the help line under it; several picks at once as a grid, in
// the order drawn, all in the largest font in which each fits its cell. Its keys and clicks
// become commands for the window, which shows the result through showPicks. A screen reader
// finds it as a window named by its title whose description is the result.
class PresentationView final : public QWidget {
    Q_OBJECT
public:
    using CommandHandler = std::function<void(layout::WindowCommand)>;
    PresentationView(CommandHandler onCommand, QWidget* owner);

    // What the window tells it to show; fitted only when it is painted, at the next frame.
    void showPicks(const std::vector<std::u16string>& picks, std::u16string_view help);
    // The result as a screen reader is to find it, once a draw has stopped.
    void setResultForScreenReader(const QString& result);
    QStringList picks() const { return picks_; }
    QString help() const { return help_; }
    int pickPixels() const { return pickPixels_; }  // the font size of the last paint

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool runInput(const layout::KeyPress& press);

    CommandHandler onCommand_;
    QStringList picks_;
    QString help_;
    QFont font_;
    draw::FittedFont fitted_;
    QTimer frame_;
    int pickPixels_ = 0;
};

}  // namespace zorbalin::window
