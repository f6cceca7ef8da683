#include "form1.h"

#include <algorithm>

#include <QAccessible>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "candidate_editor.h"
#include "interval_field.h"
#include "file_dialogs.h"
#include "floating_window.h"
#include "pixel_rect.h"
#include "presentation_view.h"
#include "record_window.h"

namespace zorbalin::window {

using layout::ControlId;
using layout::ControlKind;
using layout::ControlLayout;
using layout::WindowCommand;

Form1::Form1(FileChooser* fileChooser, QWidget* parent)
    : QWidget(parent), fileChooser_(fileChooser) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(toQString(layout::kWindowCaption));
    createControls();
    connectEvents();
    window_.Form_Load();
}

Form1::~Form1() = default;

void Form1::createControls() {
    for (const ControlLayout& row : layout::kLayout) {
        const QString text = toQString(row.text);
        QWidget* widget = nullptr;
        switch (row.kind) {
        case ControlKind::PushButton:
            widget = new QPushButton(text, this);
            break;
        case ControlKind::Label:
            widget = new QLabel(text, this);
            break;
        case ControlKind::LineEdit: {
            auto* field = row.id == ControlId::Text2 ? new IntervalField(text, this)
                                                     : new QLineEdit(text, this);
            field->setReadOnly(row.readOnly);
            widget = field;
            break;
        }
        case ControlKind::Editor:
            widget = RichTextBox1 = new CandidateEditor(&window_, this);
            break;
        }
        widget->setObjectName(QString::fromLatin1(row.name));
        widget->setGeometry(toQRect(layout::designedRect(row, layoutDpi())));
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->adjustSize();  // labels fit their captions in any font
        }
        controls_[layout::indexOf(row.id)] = widget;
    }
    for (const layout::LabelBuddy& pair : layout::kLabelBuddies) {
        static_cast<QLabel*>(control(pair.label))->setBuddy(control(pair.field));
    }
    control(ControlId::Text2)->setAccessibleDescription(toQString(layout::layoutOf(ControlId::Label4).text));

    QWidget* previous = nullptr;
    for (const ControlLayout* row : layout::controlsInTabOrder()) {
        QWidget* widget = control(row->id);
        if (widget->focusPolicy() == Qt::NoFocus) continue;
        if (previous != nullptr) setTabOrder(previous, widget);
        previous = widget;
    }
    RichTextBox1->setFocus(Qt::OtherFocusReason);
    control(ControlId::Text1)->setToolTip(toQString(layout::pickToolTip()));
    control(ControlId::Text1)->setContextMenuPolicy(Qt::CustomContextMenu);

    silence_.watch(control(ControlId::Text1));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(layout::kTimerInitialIntervalMs);

    const layout::PixelSize designed = layout::designedClientSize(layoutDpi());
    setMinimumSize(designed.width, designed.height);
    resize(designed.width, designed.height);
}

void Form1::connectEvents() {
    connect(static_cast<QPushButton*>(control(ControlId::Command1)), &QPushButton::clicked, this,
            [this] { window_.Command1_Click(); });
    connect(static_cast<QPushButton*>(control(ControlId::Command2)), &QPushButton::clicked, this,
            [this] { window_.Command2_Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { window_.Timer1_Timer(); });
    connect(static_cast<IntervalField*>(control(ControlId::Text2)), &IntervalField::lostFocus, this,
            [this] { window_.Text2_LostFocus(); });
    connect(control(ControlId::Text1), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { showPickMenu(at); });
    installEventFilter(this);
    for (QWidget* widget : controls_) widget->installEventFilter(this);
}

// The window's keys work wherever the focus is: they are taken before the control sees them.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (pressFocusedButton(watched, key)) return true;
    QWidget* pick = control(ControlId::Text1);
    if (watched == pick && key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier) {
        showPickMenu(pick->rect().center());  // Qt opens it for the Menu key only
        return true;
    }
    const std::optional<layout::KeyPress> press = keyPressOf(key);
    const WindowCommand command = press ? commandForKey(layout::WindowView::Main, *press) : WindowCommand::None;
    if (command == WindowCommand::None) return QWidget::eventFilter(watched, event);
    window_.runCommand(command);
    return true;
}

void Form1::showPickMenu(const QPoint& at) {
    auto* pick = static_cast<QLineEdit*>(control(ControlId::Text1));
    auto* menu = new QMenu(pick);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const layout::MenuEntry& entry : window_.pickMenu(pick->hasSelectedText())) {
        if (entry.command == WindowCommand::None) {
            menu->addSeparator();
            continue;
        }
        // Qt shows what follows a tab in the shortcut column.
        QString text = toQString(entry.text);
        if (!entry.keyName.empty()) text += u'\t' + toQString(entry.keyName);
        QAction* action =
            menu->addAction(text, this, [this, command = entry.command] { window_.runCommand(command); });
        action->setCheckable(entry.checkable);
        action->setChecked(entry.checked);
        action->setEnabled(entry.enabled);
    }
    menu->popup(pick->mapToGlobal(at));
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (const ControlLayout& row : layout::kLayout) {
        if (row.anchor == layout::Anchor::TopLeft) continue;
        control(row.id)->setGeometry(toQRect(layout::anchoredRect(row, {width(), height()}, layoutDpi())));
    }
}

// Qt lays out in device-independent pixels, 96 to the inch, and scales them itself: only a
// larger font asks for more room.
int Form1::layoutDpi() const {
    return layout::layoutDpi(layout::kDesignDpi, QFontMetrics(font()).horizontalAdvance(QChar(u'中')));
}

void Form1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::FontChange) return;
    const layout::PixelSize designed = layout::designedClientSize(layoutDpi());
    setMinimumSize(designed.width, designed.height);
    resize(std::max(width(), designed.width), std::max(height(), designed.height));
    for (const ControlLayout& row : layout::kLayout) {
        control(row.id)->setGeometry(toQRect(layout::anchoredRect(row, {width(), height()}, layoutDpi())));
        if (auto* label = qobject_cast<QLabel*>(control(row.id))) label->adjustSize();
    }
}

void Form1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (window_.hasStartupNotice()) QTimer::singleShot(0, this, [this] { window_.tellStartupNotice(); });
}

void Form1::closeEvent(QCloseEvent* event) {
    // A close asked for by the session or a signal must not wait for anyone to press OK.
    window_.closeWindow(event->spontaneous());
    event->accept();
}

QLineEdit* Form1::lineEdit(ControlId id) const {
    return static_cast<QLineEdit*>(control(id));
}

const std::u16string& Form1::editorText() {
    return RichTextBox1->text();
}

void Form1::setEditorText(const std::u16string& text) {
    RichTextBox1->setText(text);
}

void Form1::flushEditor() {
    RichTextBox1->flush(busy_);
}

void Form1::discardEditor() {
    RichTextBox1->discard();
}

bool Form1::intervalFieldHasFocus() {
    return control(ControlId::Text2)->hasFocus();
}

// A pick longer than the field shows its start, as on Windows.
void Form1::setPickText(std::u16string_view text) {
    QLineEdit* pick = lineEdit(ControlId::Text1);
    pick->setText(toQString(text));
    pick->setCursorPosition(0);
}

std::u16string Form1::intervalFieldText() {
    return fromQString(lineEdit(ControlId::Text2)->text());
}

void Form1::setIntervalFieldText(const std::u16string& text) {
    lineEdit(ControlId::Text2)->setText(toQString(text));
}

void Form1::setStartStopCaption(std::u16string_view caption) {
    static_cast<QPushButton*>(control(ControlId::Command2))->setText(toQString(caption));
}

Status Form1::startTimer(std::int32_t milliseconds) {
    silence_.begin();
    Timer1->start(milliseconds);
    return done();
}

void Form1::stopTimer() {
    Timer1->stop();
    silence_.end();
}

QWidget* Form1::viewWidget(lifecycle::View view) {
    switch (view) {
    case lifecycle::View::Presentation:
        if (presentation_ != nullptr) return presentation_;
        break;
    case lifecycle::View::Record:
        if (record_ != nullptr) return record_;
        break;
    case lifecycle::View::Main:
        break;
    }
    return this;
}

void Form1::showBox(const layout::MessageBoxText& box, lifecycle::View owner) {
    QMessageBox message(box.icon == layout::BoxIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                        toQString(box.title), toQString(box.text), QMessageBox::Ok, viewWidget(owner));
    message.setTextFormat(Qt::PlainText);  // a path or a system's text is never markup
    message.exec();
}

void Form1::showPresentation(bool shown) {
    if (!shown) {
        if (presentation_ != nullptr) presentation_->hide();
        activateWindow();
        return;
    }
    if (presentation_ == nullptr) {
        presentation_ = new PresentationView([this](WindowCommand command) { window_.runCommand(command); }, this);
    }
    presentation_->setGeometry(screen()->geometry());  // the screen on which the window stands
    presentation_->showFullScreen();
    presentation_->raise();
    presentation_->activateWindow();
}

bool Form1::presentationShown() const {
    return presentation_ != nullptr && presentation_->isVisible();
}

// A screen reader finds the result in the views once the draw has stopped, not the picks
// while it scrolls.
void Form1::showPresentationContent(const std::vector<std::u16string>& picks, std::u16string_view help) {
    presentation_->showPicks(picks, help);
    if (!window_.state().draw.isScrolling) {
        presentation_->setResultForScreenReader(toQString(draw::pickDisplay(window_.state().draw)));
    }
}

void Form1::showFloating(bool shown, std::optional<layout::PixelPoint> at) {
    if (!shown) {
        if (floating_ != nullptr) floating_->hide();
        return;
    }
    if (floating_ == nullptr) {
        floating_ = std::make_unique<FloatingWindow>(FloatingWindow::Handlers{
            [this] { window_.floatingButtonPressed(); },
            [this](QPoint topLeft) { window_.floatingMoved({topLeft.x(), topLeft.y()}); },
            [this] { window_.floatingClosed(); }});
    }
    floating_->open(at ? std::optional<QPoint>(QPoint(at->x, at->y)) : std::nullopt, *this);
}

bool Form1::floatingShown() const {
    return floating_ != nullptr && floating_->isVisible();
}

void Form1::showFloatingContent(std::u16string_view pick, std::u16string_view caption) {
    floating_->showContent(toQString(pick), toQString(caption));
    if (!window_.state().draw.isScrolling) floating_->setResultForScreenReader(toQString(pick));
}

std::optional<std::size_t> Form1::askDrawCount(std::size_t current, std::size_t maximum) {
    bool chosen = false;
    const int count = QInputDialog::getInt(this, toQString(layout::kDrawCountTitle),
                                           toQString(layout::drawCountLabel(maximum)), static_cast<int>(current), 1,
                                           static_cast<int>(maximum), 1, &chosen);
    if (!chosen) return std::nullopt;
    return static_cast<std::size_t>(count);
}

void Form1::showRecordWindow() {
    if (record_ == nullptr) {
        record_ = new RecordWindow(
            {[this] { window_.copyRecord(); }, [this] { window_.saveRecord(); }, [this] { window_.clearRecord(); }},
            [this](WindowCommand command) { window_.runCommand(command); }, this);
    }
    record_->open();
}

void Form1::closeRecordWindow() {
    if (record_ != nullptr) record_->close();
}

bool Form1::recordWindowShown() const {
    return record_ != nullptr && record_->isVisible();
}

void Form1::showRecordRows(const draw::ResultRecord& record, std::size_t unchangedRows) {
    record_->showRows(record, unchangedRows);
}

Result<std::u16string> Form1::showSaveFileDialog(const layout::SaveDialogTexts& dialog, lifecycle::View owner) {
    return fromQString(ShowSaveFileDialog(viewWidget(owner), dialog));
}

// The pick display takes the result as its accessible name, and a screen reader hears it by
// an alert, once; the texts it showed while scrolling were no alerts. The views that show it
// take it as their description.
void Form1::announce(std::u16string_view text) {
    QWidget* pick = control(ControlId::Text1);
    pick->setAccessibleName(toQString(text));
    QAccessibleEvent alert(pick, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    const QString result = toQString(draw::pickDisplay(window_.state().draw));
    if (presentation_ != nullptr) presentation_->setResultForScreenReader(result);
    if (floating_ != nullptr) floating_->setResultForScreenReader(result);
}

void Form1::copyPickSelection() {
    lineEdit(ControlId::Text1)->copy();
}

void Form1::selectAllPick() {
    lineEdit(ControlId::Text1)->selectAll();
}

bool Form1::setClipboardText(std::u16string_view text) {
    QGuiApplication::clipboard()->setText(toQString(text));
    return true;
}

std::u16string Form1::showOpenFileDialog(std::u16string_view title, std::u16string_view filter) {
    FileChooser& chooser = fileChooser_ != nullptr ? *fileChooser_ : qtFileChooser();
    return fromQString(ShowOpenFileDialog(this, toQString(title), toQString(filter), chooser));
}

}  // namespace zorbalin::window
