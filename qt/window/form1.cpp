#include "form1.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "candidate_editor.h"
#include "interval_field.h"
#include "layout/layout_table.h"
#include "layout/texts.h"
#include "lifecycle/lifecycle.h"
#include "qstring_u16.h"

namespace zorbalin::window {

using layout::ControlId;
using layout::ControlKind;
using layout::ControlLayout;

namespace {

QRect toQRect(const layout::PixelRect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

// Qt lays out in device-independent pixels and scales them itself, so the table is read
// at the design dpi.
QSize designedSize() {
    const layout::PixelSize size = layout::designedClientSize();
    return {size.width, size.height};
}

}  // namespace

Form1::Form1(FileChooser* fileChooser, QWidget* parent)
    : QWidget(parent), fileChooser_(fileChooser) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(toQString(layout::kWindowCaption));
    createControls();
    connectEvents();
    handle([this] { Form_Load(); });
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
            widget = new CandidateEditor(this);
            break;
        }
        widget->setObjectName(QString::fromLatin1(row.name));
        widget->setGeometry(toQRect(layout::designedRect(row)));
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->adjustSize();  // labels fit their captions in any font
        }
        controls_[layout::indexOf(row.id)] = widget;
    }
    Command1 = static_cast<QPushButton*>(control(ControlId::Command1));
    Command2 = static_cast<QPushButton*>(control(ControlId::Command2));
    Text1 = static_cast<QLineEdit*>(control(ControlId::Text1));
    Text2 = static_cast<IntervalField*>(control(ControlId::Text2));
    RichTextBox1 = static_cast<CandidateEditor*>(control(ControlId::RichTextBox1));
    RichTextBox1->guardWith(guard_);

    for (const layout::LabelBuddy& pair : layout::kLabelBuddies) {
        static_cast<QLabel*>(control(pair.label))->setBuddy(control(pair.field));
    }
    Text2->setAccessibleDescription(toQString(layout::layoutOf(ControlId::Label4).text));

    QWidget* previous = nullptr;
    for (const ControlLayout* row : layout::controlsInTabOrder()) {
        QWidget* widget = control(row->id);
        if (widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            setTabOrder(previous, widget);
        }
        previous = widget;
    }
    RichTextBox1->setFocus(Qt::OtherFocusReason);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(layout::kTimerInitialIntervalMs);

    const QSize designed = designedSize();
    setMinimumSize(designed);
    resize(designed);
}

void Form1::connectEvents() {
    connect(Command1, &QPushButton::clicked, this, [this] { handle([this] { Command1_Click(); }); });
    connect(Command2, &QPushButton::clicked, this, [this] { handle([this] { Command2_Click(); }); });
    connect(Timer1, &QTimer::timeout, this, [this] { handle([this] { Timer1_Timer(); }); });
    connect(Text2, &IntervalField::lostFocus, this, [this] { handle([this] { Text2_LostFocus(); }); });
}

// The texts that the handler set reach the controls once, as it ends.
void Form1::handlerEnded() {
    RichTextBox1->flush(busy_);
    busy_.end();
}

void Form1::handlerFailed(const Problem& problem, bool outermost) noexcept {
    if (outermost) RichTextBox1->discard();  // the editor keeps the text it shows
    try {
        if (outermost) busy_.end();
        const layout::MessageBoxText box = layout::problemBox(problem);
        if (!isVisible()) {
            state_.startupFailure = box.text;  // shown once the window is up
            return;
        }
        beforeModal();
        QMessageBox::warning(this, toQString(box.title), toQString(box.text));
    } catch (...) {
        // Too little memory even for the message: nothing more can be shown.
    }
}

void Form1::beforeModal() {
    RichTextBox1->flush(busy_);  // a modal loop lets the user at the editor
    busy_.end();
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (const ControlLayout& row : layout::kLayout) {
        if (row.anchor == layout::Anchor::TopLeft) {
            continue;
        }
        control(row.id)->setGeometry(
            toQRect(layout::anchoredRect(row, {size().width(), size().height()})));
    }
}

void Form1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!state_.startupFailure.empty()) {
        // Reported once the window is up, so the box has a window to belong to.
        QTimer::singleShot(0, this, [this] {
            handle([this] {
                const std::u16string message = std::exchange(state_.startupFailure, {});
                if (!message.empty()) {
                    reportFailure(message);
                }
            });
        });
    }
}

void Form1::closeEvent(QCloseEvent* event) {
    handle([this, event] {
        Form_Unload();
        // The user closing the window hears that the settings were not kept; a close asked
        // for by the session or a signal must not wait for anyone to press OK.
        if (!state_.settingsSaved && event->spontaneous()) {
            reportFailure(layout::problemMessage(Problem{ProblemCode::SettingsNotSaved, {},
                                                         SystemCause::Other, settings_.location()}));
        }
    });
    event->accept();
}

void Form1::Form_Load() {
    lifecycle::Startup(state_, *this);
}

void Form1::Form_Unload() {
    lifecycle::Shutdown(state_, *this);
}

void Form1::StoreSettings() {
    handle([this] { lifecycle::StoreSettings(state_, *this); });
}

void Form1::Command1_Click() {
    ChooseCandidateFile();
}

void Form1::Command2_Click() {
    draw::ToggleDraw(state_.draw, *this);
}

void Form1::Timer1_Timer() {
    draw::DrawTick(state_.draw, *this, random_);
}

void Form1::Text2_LostFocus() {
    draw::NormalizeIntervalField(*this);
}

void Form1::reportFailure(std::u16string_view message) {
    beforeModal();
    QMessageBox::warning(this, toQString(layout::kWindowCaption), toQString(message));
}

std::u16string Form1::editorText() {
    return RichTextBox1->text();
}

void Form1::setEditorText(const std::u16string& text) {
    RichTextBox1->setText(text);
}

void Form1::setPickText(std::u16string_view text) {
    Text1->setText(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

std::u16string Form1::intervalFieldText() {
    return fromQString(Text2->text());
}

void Form1::setIntervalFieldText(const std::u16string& text) {
    Text2->setText(toQString(text));
}

void Form1::setStartStopCaption(std::u16string_view caption) {
    Command2->setText(toQString(caption));
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

}  // namespace zorbalin::window
