#include "form1.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGuiApplication>
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
    Form_Load();
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
            widget = RichTextBox1 = new CandidateEditor(&guard(), this);
            break;
        }
        widget->setObjectName(QString::fromLatin1(row.name));
        // Qt lays out in device-independent pixels and scales them itself: the design dpi.
        widget->setGeometry(toQRect(layout::designedRect(row)));
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
    control(ControlId::Text1)->setToolTip(toQString(layout::kPickToolTip));
    control(ControlId::Text1)->setContextMenuPolicy(Qt::CustomContextMenu);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(layout::kTimerInitialIntervalMs);

    const layout::PixelSize designed = layout::designedClientSize();
    setMinimumSize(designed.width, designed.height);
    resize(designed.width, designed.height);
}

void Form1::connectEvents() {
    connect(static_cast<QPushButton*>(control(ControlId::Command1)), &QPushButton::clicked, this,
            [this] { Command1_Click(); });
    connect(static_cast<QPushButton*>(control(ControlId::Command2)), &QPushButton::clicked, this,
            [this] { Command2_Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(static_cast<IntervalField*>(control(ControlId::Text2)), &IntervalField::lostFocus, this,
            [this] { Text2_LostFocus(); });
    connect(control(ControlId::Text1), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { showPickMenu(at); });
    installEventFilter(this);
    for (QWidget* widget : controls_) widget->installEventFilter(this);
}

// The window's keys work wherever the focus is: they are taken before the control sees them.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const auto& key = static_cast<const QKeyEvent&>(*event);
    QWidget* pick = control(ControlId::Text1);
    if (watched == pick && key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier) {
        showPickMenu(pick->rect().center());  // Qt opens it for the Menu key only
        return true;
    }
    const std::optional<layout::KeyPress> press = keyPressOf(key);
    const WindowCommand command = press ? commandForKey(layout::WindowView::Main, *press) : WindowCommand::None;
    if (command == WindowCommand::None) return QWidget::eventFilter(watched, event);
    runCommand(command);
    return true;
}

void Form1::showPickMenu(const QPoint& at) {
    auto* pick = static_cast<QLineEdit*>(control(ControlId::Text1));
    auto* menu = new QMenu(pick);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const layout::MenuEntry& entry : layout::pickMenu(pickMenuFacts(pick->hasSelectedText()))) {
        if (entry.command == WindowCommand::None) {
            menu->addSeparator();
            continue;
        }
        // Qt shows what follows a tab in the shortcut column.
        QString text = toQString(entry.text);
        if (!entry.keyName.empty()) text += u'\t' + toQString(entry.keyName);
        QAction* action = menu->addAction(text, this, [this, command = entry.command] { runCommand(command); });
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
        control(row.id)->setGeometry(toQRect(layout::anchoredRect(row, {width(), height()})));
    }
}

void Form1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (hasStartupNotice()) QTimer::singleShot(0, this, [this] { tellStartupNotice(); });
}

void Form1::closeEvent(QCloseEvent* event) {
    // A close asked for by the session or a signal must not wait for anyone to press OK.
    closeWindow(event->spontaneous());
    event->accept();
}

lifecycle::EditorControl& Form1::editor() {
    return *RichTextBox1;
}

void Form1::setControlText(ControlId id, std::u16string_view text) {
    QWidget* widget = control(id);
    if (auto* field = qobject_cast<QLineEdit*>(widget)) {
        field->setText(toQString(text));
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        button->setText(toQString(text));
    }
}

std::u16string Form1::controlText(ControlId id) {
    auto* field = qobject_cast<QLineEdit*>(control(id));
    return field != nullptr ? fromQString(field->text()) : std::u16string();
}

void Form1::setTimerInterval(std::int32_t milliseconds) {
    Timer1->setInterval(milliseconds);
}

void Form1::setTimerEnabled(bool enabled) {
    if (enabled) {
        Timer1->start();
    } else {
        Timer1->stop();
    }
}

void Form1::showBox(const layout::MessageBoxText& box) {
    // Over the presentation view when it is open, since it covers the window.
    QMessageBox message(box.icon == layout::BoxIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                        toQString(box.title), toQString(box.text), QMessageBox::Ok,
                        presentationShown() ? presentation_ : static_cast<QWidget*>(this));
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
        presentation_ = new PresentationView([this](WindowCommand command) { runCommand(command); }, this);
    }
    presentation_->setGeometry(screen()->geometry());  // the screen on which the window stands
    presentation_->showFullScreen();
    presentation_->raise();
    presentation_->activateWindow();
}

bool Form1::presentationShown() const {
    return presentation_ != nullptr && presentation_->isVisible();
}

void Form1::showRecord() {
    if (record_ == nullptr) {
        record_ = new RecordWindow({[this] { copyRecord(); }, [this] { saveRecord(); }, [this] { clearRecord(); }},
                                   this);
    }
    record_->open();
}

// After every handler, a tick included: each view only compares unless something changed.
void Form1::refreshViews() {
    if (presentationShown()) presentation_->showPick(presentationPick(), presentationHelp());
    if (record_ != nullptr) record_->showRecord(state().draw.record);
}

Result<std::u16string> Form1::chooseRecordFile() {
    QFileDialog dialog(record_ != nullptr ? static_cast<QWidget*>(record_) : this,
                       toQString(layout::kRecordSaveDialogTitle));
    dialog.setAcceptMode(QFileDialog::AcceptSave);  // which asks before replacing a file
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    readNoFileToShowIt(dialog);
    dialog.setNameFilters(nameFiltersFromFilterPairs(dialogs::parseCommonDialogFilter(layout::textFilesFilter())));
    dialog.selectFile(toQString(layout::kRecordDefaultFileName));
    dialog.setDefaultSuffix(toQString(layout::kRecordFileExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::u16string();
    return fromQString(dialog.selectedFiles().constFirst());
}

void Form1::copyPickSelection() {
    static_cast<QLineEdit*>(control(ControlId::Text1))->copy();
}

void Form1::selectAllPick() {
    static_cast<QLineEdit*>(control(ControlId::Text1))->selectAll();
}

bool Form1::setClipboardText(std::u16string_view text) {
    QGuiApplication::clipboard()->setText(toQString(text));
    return true;
}

std::u16string Form1::runOpenFileDialog(std::u16string_view title, std::u16string_view filter) {
    FileChooser& chooser = fileChooser_ != nullptr ? *fileChooser_ : qtFileChooser();
    return fromQString(ShowOpenFileDialog(this, toQString(title), toQString(filter), chooser));
}

}  // namespace zorbalin::window
