#include "message_box_catcher.h"

#include <QAbstractButton>
#include <QApplication>

namespace zorbalin::test {

MessageBoxCatcher::MessageBoxCatcher() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &MessageBoxCatcher::poll);
    timer_.start();
}

MessageBoxCatcher::~MessageBoxCatcher() = default;

void MessageBoxCatcher::poll() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box == nullptr || !box->isVisible() || seen_.contains(box)) {
            continue;
        }
        seen_.append(box);
        boxes_.append({box->windowTitle(), box->text(), box->informativeText(),
                       box->textFormat(), box->icon(),
                       box->standardButtons(), static_cast<int>(box->buttons().size()),
                       box->isModal() || box->windowModality() != Qt::NonModal,
                       box->parentWidget()});
        answer(*box);
        return;  // answering may have ended a nested event loop; look again next tick
    }
}

void MessageBoxCatcher::answer(QMessageBox& box) {
    if (QAbstractButton* button = box.button(answer_)) {
        button->click();
    } else if (QAbstractButton* escape = box.escapeButton()) {
        escape->click();
    } else {
        box.reject();
    }
}

}  // namespace zorbalin::test
