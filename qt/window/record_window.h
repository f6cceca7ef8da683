// The classroom options' record window on Qt.
#pragma once

#include <QWidget>

#include <functional>

#include "draw/result_record.h"

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
    RecordWindow(const Buttons& buttons, QWidget* owner);

    // Shows the window in front, with the focus on the list.
    void open();
    // The rows from unchangedRows on are the record's new ones.
    void showRows(const draw::ResultRecord& record, std::size_t unchangedRows);

private:
    QTreeWidget* list_;
};

}  // namespace zorbalin::window
