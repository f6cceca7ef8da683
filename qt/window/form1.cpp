#include "form1.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "candidate_editor.h"
#include "interval_field.h"
#include "qt_open_file_dialog.h"

namespace zorbalin::window {

using layout::ControlId;
using layout::ControlKind;
using layout::ControlLayout;

namespace {

QRect toQRect(const layout::PixelRect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

}  // namespace

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
    QMessageBox message(box.icon == layout::BoxIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                        toQString(box.title), toQString(box.text), QMessageBox::Ok, this);
    message.setTextFormat(Qt::PlainText);  // a path or a system's text is never markup
    message.exec();
}

std::u16string Form1::runOpenFileDialog(std::u16string_view title, std::u16string_view filter) {
    FileChooser& chooser = fileChooser_ != nullptr ? *fileChooser_ : qtFileChooser();
    return fromQString(ShowOpenFileDialog(this, toQString(title), toQString(filter), chooser));
}

}  // namespace zorbalin::window
