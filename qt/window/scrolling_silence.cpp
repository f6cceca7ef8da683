#include "scrolling_silence.h"

#include <QAccessible>

namespace zorbalin::window {

namespace {

// Qt's accessibility keeps one update handler per process, a plain function.
QObject* silenced = nullptr;
QAccessible::UpdateHandler previous = nullptr;

bool isTextEvent(QAccessible::Event type) {
    switch (type) {
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
    case QAccessible::TextCaretMoved:
    case QAccessible::TextSelectionChanged:
    case QAccessible::ValueChanged:
    case QAccessible::VisibleDataChanged:
        return true;
    default:
        return false;
    }
}

void dropScrollingText(QAccessibleEvent* event) {
    if (event->object() == silenced && isTextEvent(event->type())) return;
    if (previous != nullptr) {
        previous(event);
        return;
    }
    // Without a handler of its own, Qt hands the event to the platform's screen reader bridge.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(dropScrollingText);
}

}  // namespace

void ScrollingSilence::begin() {
    if (silenced != nullptr || field_ == nullptr) return;
    silenced = field_;
    previous = QAccessible::installUpdateHandler(dropScrollingText);
}

void ScrollingSilence::end() {
    if (silenced == nullptr || silenced != field_) return;
    const QAccessible::UpdateHandler current = QAccessible::installUpdateHandler(previous);
    // A handler installed meanwhile (a test's) stays; ours then forwards to nothing.
    if (current != dropScrollingText) QAccessible::installUpdateHandler(current);
    silenced = nullptr;
    previous = nullptr;
}

}  // namespace zorbalin::window
