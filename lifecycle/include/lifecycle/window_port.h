// What the shared window needs of its platform: the port. Each front end's Form1 implements
// it over its controls, dialogs and services; the shared window (main_window.h) makes every
// decision and calls these primitives, each named once for what it does.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>
#include <string>
#include <string_view>

#include "base/result.h"
#include "draw/draw_controls.h"
#include "draw/result_record.h"
#include "files/candidate_file.h"
#include "files/file_system.h"
#include "layout/layout_table.h"
#include "layout/texts.h"
#include "lifecycle/settings.h"

namespace zorbalin::lifecycle {

// The program's windows: a box or dialog belongs to one of them.
enum class View { Main, Presentation, Record };

class WindowPort : public draw::DrawControls {
public:
    // draw::DrawControls gives the editor's text, the pick display, the interval field, the
    // start/stop button, the timer, and progress(), which makes the window look busy.

    // The editor: a text set by setEditorText reaches the control at the next flushEditor,
    // or never after discardEditor, which leaves the control as it was. Whether the text
    // changed or not, a flushed editor looks as after a rewrite: the cursor at the start, no
    // undo step back, scrolled to the top; a text that did not change is not put in again.
    virtual void flushEditor() = 0;
    virtual void discardEditor() = 0;
    // Whether the interval field (Text2) has the keyboard focus.
    virtual bool intervalFieldHasFocus() = 0;
    // Long work is over (or something modal is about to let the user in): the window that
    // progress() made busy looks as before.
    virtual void endBusy() = 0;
    // Whether the main window is on the screen yet.
    virtual bool isShown() const = 0;

    // A modal box over the view, with only an OK button. May throw (it needs memory).
    virtual void showBox(const layout::MessageBoxText& box, View owner) = 0;
    // The platform's open-file dialog with its error box (dialogs::runOpenFileDialog) over
    // the main window: the chosen file's full path, or "".
    virtual std::u16string showOpenFileDialog(std::u16string_view title, std::u16string_view filter) = 0;
    // The platform's save dialog over the view, asking before it replaces a file: the chosen
    // path (a name typed without an extension gets dialog.extension), "" when the user
    // cancelled, a problem when the dialog failed.
    virtual Result<std::u16string> showSaveFileDialog(const layout::SaveDialogTexts& dialog, View owner) = 0;

    // The presentation view, over the screen the main window stands on, in front and active;
    // hidden again with the main window active.
    virtual void showPresentation(bool shown) = 0;
    virtual bool presentationShown() const = 0;
    // What the presentation view shows: the picks in the order drawn (a grid of them, several
    // at once), each as the pick display shows it, and the help line; told when it opens and
    // whenever it changed.
    virtual void showPresentationContent(const std::vector<std::u16string>& picks, std::u16string_view help) = 0;
    // The record window, in front and active; closed (hidden) again.
    virtual void showRecordWindow() = 0;
    virtual void closeRecordWindow() = 0;
    virtual bool recordWindowShown() const = 0;
    // The record window's rows: the first unchangedRows are as told before, the rest of the
    // record is new. Told when it opens (nothing unchanged) and whenever the record changed.
    virtual void showRecordRows(const draw::ResultRecord& record, std::size_t unchangedRows) = 0;

    // Tells a screen reader, once, what the user should hear now (a draw's result); what the
    // controls show while the draw scrolls is not told, item by item.
    virtual void announce(std::u16string_view text) = 0;

    // The small window over the slides (悬浮窗): always on top, never taking the focus, at `at`
    // (its top left) or where the platform puts a new one; hidden again. Moved by the user,
    // it tells MainWindow::floatingMoved; closed from its own close mark, floatingClosed.
    virtual void showFloating(bool shown, std::optional<layout::PixelPoint> at) = 0;
    virtual bool floatingShown() const = 0;
    // What it shows: the picks as the pick display shows them, and its button's caption.
    virtual void showFloatingContent(std::u16string_view pick, std::u16string_view caption) = 0;

    // The dialog that asks how many are drawn at once, 1 to maximum, showing current: the
    // number chosen, or nothing when the user cancelled.
    virtual std::optional<std::size_t> askDrawCount(std::size_t current, std::size_t maximum) = 0;

    // The pick display's own copy of its selection, and select all; whether it has one.
    virtual void copyPickSelection() = 0;
    virtual void selectAllPick() = 0;
    // The clipboard: false when another program holds it.
    virtual bool setClipboardText(std::u16string_view text) = 0;

    // The platform's services.
    virtual SettingsStore& settingsStore() = 0;
    virtual files::FileSystem& fileSystem() = 0;
    virtual files::CodePages codePages() = 0;

protected:
    ~WindowPort() override = default;
};

}  // namespace zorbalin::lifecycle
