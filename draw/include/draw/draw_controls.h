#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/progress.h"
#include "base/result.h"

namespace zorbalin::draw {

// The control operations that the draw needs from its window. The window implements
// them over its real widgets; tests implement them over plain fields.
// Texts are UTF-16; the editor text has CR LF between lines.
class DrawControls {
public:
    virtual ~DrawControls() = default;

    // The editor (RichTextBox1): its whole content, and replacing it whole.
    virtual const std::u16string& editorText() = 0;
    virtual void setEditorText(const std::u16string& text) = 0;

    // The pick display (Text1).
    virtual void setPickText(std::u16string_view text) = 0;

    // The interval field (Text2).
    virtual std::u16string intervalFieldText() = 0;
    virtual void setIntervalFieldText(const std::u16string& text) = 0;

    // The start/stop button (Command2).
    virtual void setStartStopCaption(std::u16string_view caption) = 0;

    // The timer (Timer1): ticks every interval (milliseconds, always at least 1) from now on,
    // a running timer starting its period again; a problem when the system would not.
    virtual Status startTimer(std::int32_t milliseconds) = 0;
    virtual void stopTimer() = 0;

    // Where long work tells how far it has come.
    virtual Progress& progress() = 0;
};

}  // namespace zorbalin::draw
