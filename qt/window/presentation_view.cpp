#include "presentation_view.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

#include "layout/layout_table.h"
#include "layout/texts.h"
#include "pixel_rect.h"
#include "qstring_u16.h"

namespace zorbalin::window {

namespace {

// A pick that fills the screen takes milliseconds to paint, and a screen shows a new picture
// only 60 times a second: ticks faster than that are painted once a frame.
constexpr int kFrameMs = 16;

// Left to Qt, the view would be a nameless filler to a screen reader: it is a window named by
// its title, its description the result.
QAccessibleInterface* accessibleView(const QString& className, QObject* object) {
    if (className != QLatin1String(PresentationView::staticMetaObject.className()) || !object->isWidgetType()) {
        return nullptr;
    }
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

}  // namespace

QFont fontWithChinese() {
    QFont font;
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    if (!chinese.isEmpty() && !chinese.contains(font.family())) {
        font.setFamilies({font.family(), chinese.first()});
    }
    return font;
}

draw::MeasureText pickMeasure(QFont& font) {
    return [&font](std::u16string_view text, int pixels, int wrapWidth) {
        font.setPixelSize(pixels);
        const QRect box = QFontMetrics(font).boundingRect(QRect(0, 0, wrapWidth, 0), kPickFlags, toQString(text));
        return draw::TextBox{box.width(), box.height()};
    };
}

layout::KeyPress pressOf(layout::InputKey key, Qt::KeyboardModifiers held, bool autoRepeat) {
    return {key, held.testFlag(Qt::ControlModifier), held.testFlag(Qt::ShiftModifier),
            (held & (Qt::AltModifier | Qt::MetaModifier)) != 0, autoRepeat};
}

std::optional<layout::KeyPress> keyPressOf(const QKeyEvent& event) {
    layout::InputKey key{};
    switch (event.key()) {
    case Qt::Key_F5: key = layout::InputKey::F5; break;
    case Qt::Key_F11: key = layout::InputKey::F11; break;
    case Qt::Key_Escape: key = layout::InputKey::Escape; break;
    case Qt::Key_Space: key = layout::InputKey::Space; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: key = layout::InputKey::Enter; break;
    case Qt::Key_H: key = layout::InputKey::H; break;
    case Qt::Key_S: key = layout::InputKey::S; break;
    default: return std::nullopt;
    }
    return pressOf(key, event.modifiers(), event.isAutoRepeat());
}

bool pressFocusedButton(QObject* watched, const QKeyEvent& event) {
    auto* button = qobject_cast<QAbstractButton*>(watched);
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    if (button == nullptr || !enter || (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier ||
        event.isAutoRepeat()) {
        return false;
    }
    button->click();
    return true;
}

PresentationView::PresentationView(CommandHandler onCommand, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint),
      onCommand_(std::move(onCommand)),
      font_(fontWithChinese()),
      fitted_(layout::kPresentationSmallestPickPixels, layout::kPresentationLargestPickPixels) {
    setObjectName(QStringLiteral("PresentationView"));
    setWindowTitle(toQString(layout::kPresentationTitle));
    static const bool accessible = (QAccessible::installFactory(accessibleView), true);
    (void)accessible;
    frame_.setSingleShot(true);
    frame_.setInterval(kFrameMs);
    connect(&frame_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void PresentationView::showPicks(const std::vector<std::u16string>& picks, std::u16string_view help) {
    picks_.clear();
    for (const std::u16string& pick : picks) picks_.append(toQString(pick));
    help_ = toQString(help);
    if (!frame_.isActive()) frame_.start();
}

void PresentationView::setResultForScreenReader(const QString& result) {
    setAccessibleDescription(result);  // tells a screen reader that it changed
}

void PresentationView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const layout::PresentationLayout areas = layout::presentationLayout({width(), height()});
    const std::size_t cells = picks_.isEmpty() ? 1 : static_cast<std::size_t>(picks_.size());
    const layout::Grid grid = layout::presentationGrid({areas.pick.width, areas.pick.height}, cells);
    // One size for all: the one in which every pick fits the smallest cell.
    const layout::PixelRect smallest = layout::gridPickArea(
        {0, 0, areas.pick.width / grid.columns, areas.pick.height / grid.rows}, grid);
    fitted_.setArea({smallest.width, smallest.height});
    QFont font = font_;
    const draw::MeasureText measure = pickMeasure(font);
    pickPixels_ = layout::kPresentationLargestPickPixels;
    for (const QString& pick : picks_) pickPixels_ = std::min(pickPixels_, fitted_.fit(toU16StringView(pick), measure));
    if (picks_.isEmpty()) pickPixels_ = fitted_.fit(u"", measure);
    font.setPixelSize(pickPixels_);
    painter.setFont(font);
    for (qsizetype i = 0; i < picks_.size(); ++i) {
        const layout::PixelRect cell = layout::gridCell(areas.pick, grid, static_cast<std::size_t>(i));
        painter.drawText(toQRect(layout::gridPickArea(cell, grid)), kPickFlags, picks_[i]);
    }

    font.setPixelSize(areas.helpPixels);
    painter.setFont(font);
    painter.drawText(toQRect(areas.help), Qt::AlignCenter | Qt::TextWordWrap, help_);
}

bool PresentationView::runInput(const layout::KeyPress& press) {
    const layout::WindowCommand command = commandForKey(layout::WindowView::Presentation, press);
    if (command == layout::WindowCommand::None) return false;
    onCommand_(command);
    return true;
}

void PresentationView::keyPressEvent(QKeyEvent* event) {
    const std::optional<layout::KeyPress> press = keyPressOf(*event);
    if (!press || !runInput(*press)) QWidget::keyPressEvent(event);
}

void PresentationView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton ||
        !runInput(pressOf(layout::InputKey::Click, event->modifiers(), false))) {
        QWidget::mousePressEvent(event);
    }
}

}  // namespace zorbalin::window
