#include "busy_window.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "layout/texts.h"
#include "qstring_u16.h"

namespace zorbalin::window {

void BusyWindow::report(ProgressStage stage, std::uint64_t done, std::uint64_t total) {
    const bool wasBusy = busy();
    if (!pacing_.shouldShow(stage, total, lifecycle::ProgressPacing::Clock::now())) return;
    if (!wasBusy) QApplication::setOverrideCursor(Qt::WaitCursor);
    window_->setWindowTitle(toQString(layout::progressCaption(stage, done, total)));
}

void BusyWindow::end() {
    if (!busy()) return;
    window_->setWindowTitle(toQString(layout::kWindowCaption));
    pacing_.reset();
    const QPointer<QWidget> focus = QApplication::focusWidget();
    window_->setEnabled(false);
    QCoreApplication::processEvents();
    window_->setEnabled(true);
    if (focus) focus->setFocus(Qt::OtherFocusReason);
    QApplication::restoreOverrideCursor();
}

}  // namespace zorbalin::window
