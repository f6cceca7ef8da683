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
    // Called after every handler of the window: cheap when the record did not change.
    void showRecord(const draw::ResultRecord& record);

private:
    QTreeWidget* list_;
};

}  // namespace zorbalin::window
