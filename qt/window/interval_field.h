#pragma once

#include <QLineEdit>

namespace zorbalin::window {

// The interval field (Text2). It reports leaving it for another control of the window;
// the window being deactivated or a context menu opening does not count.
class IntervalField : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

signals:
    void lostFocus();

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace zorbalin::window
