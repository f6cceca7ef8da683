#include "record_window.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "layout/layout_table.h"
#include "layout/texts.h"
#include "presentation_view.h"
#include "qstring_u16.h"

namespace zorbalin::window {

namespace {
// Shown only once the record holds a draw of several at once, as the copied text does.
constexpr int kDrawColumn = 1;
}  // namespace

RecordWindow::RecordWindow(const Buttons& buttons, CommandHandler onCommand, QWidget* owner)
    : QWidget(owner, Qt::Window), list_(new QTreeWidget(this)), onCommand_(std::move(onCommand)) {
    setObjectName(QStringLiteral("RecordWindow"));
    setWindowTitle(toQString(layout::kRecordWindowTitle));
    list_->setObjectName(QStringLiteral("RecordList"));
    list_->setAccessibleName(windowTitle());  // the list has no label of its own
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({toQString(layout::kRecordTimeColumn), toQString(layout::kRecordDrawColumn),
                            toQString(layout::kRecordRoundColumn), toQString(layout::kRecordResultColumn)});
    list_->setColumnHidden(kDrawColumn, true);
    list_->header()->setStretchLastSection(true);
    // Sized for the design font, and larger with a larger one, as the main window is.
    const int dpi = layout::layoutDpi(layout::kDesignDpi, QFontMetrics(font()).horizontalAdvance(QChar(u'中')));
    const auto scaled = [dpi](int pixels) { return pixels * dpi / layout::kDesignDpi; };
    list_->setColumnWidth(0, scaled(layout::kRecordTimeColumnWidth));
    list_->setColumnWidth(kDrawColumn, scaled(layout::kRecordDrawColumnWidth));
    list_->setColumnWidth(2, scaled(layout::kRecordRoundColumnWidth));

    auto* row = new QHBoxLayout;
    row->addStretch();
    const std::pair<std::u16string_view, const std::function<void()>*> buttonRows[] = {
        {layout::kRecordCopyButton, &buttons.copy},
        {layout::kRecordSaveButton, &buttons.save},
        {layout::kRecordClearButton, &buttons.clear},
    };
    for (const auto& [caption, clicked] : buttonRows) {
        auto* button = new QPushButton(toQString(caption), this);
        connect(button, &QPushButton::clicked, this, *clicked);
        row->addWidget(button);
    }
    installEventFilter(this);
    list_->installEventFilter(this);
    for (QPushButton* button : findChildren<QPushButton*>()) button->installEventFilter(this);
    auto* column = new QVBoxLayout(this);
    column->addWidget(list_);
    column->addLayout(row);
    resize(scaled(layout::kRecordClientWidth), scaled(layout::kRecordClientHeight));
}

bool RecordWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (pressFocusedButton(watched, key)) return true;
        const std::optional<layout::KeyPress> press = keyPressOf(key);
        const layout::WindowCommand command =
            press ? commandForKey(layout::WindowView::Record, *press) : layout::WindowCommand::None;
        if (command != layout::WindowCommand::None) {
            onCommand_(command);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void RecordWindow::open() {
    show();
    raise();
    activateWindow();
    list_->setFocus(Qt::OtherFocusReason);
}

void RecordWindow::showRows(const draw::ResultRecord& record, std::size_t unchangedRows) {
    const std::vector<draw::RecordedResult>& results = record.results();
    if (unchangedRows == 0) list_->clear();
    while (static_cast<std::size_t>(list_->topLevelItemCount()) > unchangedRows) {
        delete list_->takeTopLevelItem(list_->topLevelItemCount() - 1);
    }
    for (std::size_t i = unchangedRows; i < results.size(); ++i) {
        const draw::RecordedResult& result = results[i];
        list_->addTopLevelItem(new QTreeWidgetItem(
            {toQString(draw::timeOfDayText(result.time)), QString::number(result.draw),
             result.round ? QString::number(*result.round) : QString(), toQString(result.text)}));
    }
    list_->setColumnHidden(kDrawColumn, !draw::recordShowsDraws(record));
    list_->scrollToBottom();
}

}  // namespace zorbalin::window
