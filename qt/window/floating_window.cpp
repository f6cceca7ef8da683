#include "floating_window.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

#include <vector>

#include "layout/layout_table.h"
#include "layout/texts.h"
#include "pixel_rect.h"
#include "presentation_view.h"
#include "qstring_u16.h"

namespace zorbalin::window {

namespace {

// At the design font (sizes in pixels at 96 dpi): the window, the margin, the close mark.
constexpr QSize kDesignSize(240, 120);
constexpr int kMargin = 8;
constexpr int kCloseMark = 18;
// A drag shorter than this is a click on the window, which moves nothing.
constexpr int kDragPixels = 3;

}  // namespace

FloatingWindow::FloatingWindow(Handlers handlers)
    // A tool window of its own, not the main window's: minimising the main window must not
    // take it along. It stays on top and never takes the focus. A window manager puts a
    // focused full-screen window over every window kept on top (openbox does), so on X11 it
    // bypasses the window manager, as a menu does: over everything, never given the focus.
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::X11BypassWindowManagerHint),
      handlers_(std::move(handlers)),
      button_(new QPushButton(this)),
      close_(new QToolButton(this)),
      font_(fontWithChinese()),
      fitted_(layout::kPresentationSmallestPickPixels, layout::kPresentationLargestPickPixels) {
    setObjectName(QStringLiteral("FloatingWindow"));
    setWindowTitle(toQString(layout::kFloatingTitle));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_QuitOnClose, false);  // closing the main window ends the program
    setFocusPolicy(Qt::NoFocus);
    button_->setObjectName(QStringLiteral("FloatingButton"));
    button_->setFocusPolicy(Qt::NoFocus);
    close_->setObjectName(QStringLiteral("FloatingClose"));
    close_->setFocusPolicy(Qt::NoFocus);
    close_->setAutoRaise(true);
    close_->setText(QStringLiteral("×"));
    close_->setAccessibleName(toQString(layout::kFloatingCloseName));
    close_->setToolTip(close_->accessibleName());
    connect(button_, &QPushButton::clicked, this, [this] { handlers_.pressed(); });
    connect(close_, &QToolButton::clicked, this, [this] { handlers_.closed(); });

    // Larger with a larger font, as the main window is.
    const int dpi = layout::layoutDpi(layout::kDesignDpi, QFontMetrics(font()).horizontalAdvance(QChar(u'中')));
    const auto scaled = [dpi](int pixels) { return pixels * dpi / layout::kDesignDpi; };
    setFixedSize(scaled(kDesignSize.width()), scaled(kDesignSize.height()));
    close_->setFixedSize(scaled(kCloseMark), scaled(kCloseMark));
    const layout::PixelRect start = layout::designedRect(layout::layoutOf(layout::ControlId::Command2), dpi);
    button_->setFixedSize(start.width, start.height);
}

void FloatingWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int margin = kMargin * height() / kDesignSize.height();
    close_->move(width() - close_->width() - margin / 2, margin / 2);
    button_->move((width() - button_->width()) / 2, height() - button_->height() - margin);
}

QRect FloatingWindow::pickArea() const {
    const int margin = kMargin * height() / kDesignSize.height();
    const int top = close_->geometry().bottom() + 1;
    return {margin, top, width() - 2 * margin, button_->y() - margin / 2 - top};
}

void FloatingWindow::open(std::optional<QPoint> at, const QWidget& near) {
    std::vector<layout::PixelRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect room = screen->availableGeometry();
        screens.push_back({room.x(), room.y(), room.width(), room.height()});
    }
    if (!at) {
        const QRect room = near.screen()->availableGeometry();
        const int margin = 4 * kMargin;
        at = QPoint(room.right() + 1 - width() - margin, room.top() + margin);
    }
    const layout::PixelPoint placed = layout::placeOnScreens({at->x(), at->y(), width(), height()}, screens);
    move(placed.x, placed.y);
    show();
    raise();
}

void FloatingWindow::showContent(const QString& pick, const QString& caption) {
    if (pick != pick_) {
        pick_ = pick;
        update(pickArea());
    }
    button_->setText(caption);
}

void FloatingWindow::setResultForScreenReader(const QString& result) {
    setAccessibleDescription(result);  // tells a screen reader that it changed
}

void FloatingWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));  // no frame of the window manager's
    const QRect area = pickArea();
    fitted_.setArea({area.width(), area.height()});
    QFont font = font_;
    pickPixels_ = fitted_.fit(toU16StringView(pick_), pickMeasure(font));
    font.setPixelSize(pickPixels_);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, kPickFlags, pick_);
}

void FloatingWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    grabbedAt_ = event->globalPosition().toPoint() - pos();
    dragged_ = false;
}

void FloatingWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!grabbedAt_) return QWidget::mouseMoveEvent(event);
    const QPoint to = event->globalPosition().toPoint() - *grabbedAt_;
    if (!dragged_ && (to - pos()).manhattanLength() < kDragPixels) return;
    dragged_ = true;
    move(to);
}

void FloatingWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !grabbedAt_) return QWidget::mouseReleaseEvent(event);
    grabbedAt_.reset();
    if (dragged_) handlers_.moved(pos());
}

}  // namespace zorbalin::window
