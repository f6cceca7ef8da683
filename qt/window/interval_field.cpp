#include "interval_field.h"

#include <QFocusEvent>

namespace zorbalin::window {

void IntervalField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
        emit lostFocus();
    }
}

}  // namespace zorbalin::window
