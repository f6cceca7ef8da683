// The classroom options' record window on Qt.
#pragma once

#include <QWidget>

#include <functional>

#include "draw/result_record.h"
#include "layout/window_commands.h"

class QTreeWidget;

namespace zorbalin::window {

// 抽取记录: the results of this run, newest last, with buttons to copy, save and clear them.
// Not modal; the window's handlers do what the buttons ask and show the record through
// showRecord.
class RecordWindow final : public QWidget {
    Q_OBJECT
public:
    struct Buttons {
        std::function<void()> copy, save, clear;
    };
    // The program's keys in it become commands for the window (Esc closes it).
    using CommandHandler = std::function<void(layout::WindowCommand)>;
    RecordWindow(const Buttons& buttons, CommandHandler onCommand, QWidget* owner);

    // Shows the window in front, with the focus on the list.
    void open();
    // The rows from unchangedRows on are the record's new ones.
    void showRows(const draw::ResultRecord& record, std::size_t unchangedRows);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeWidget* list_;
    CommandHandler onCommand_;
};

}  // namespace zorbalin::window
