#include "record_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "layout/texts.h"
#include "qstring_u16.h"

namespace zorbalin::window {

RecordWindow::RecordWindow(const Buttons& buttons, QWidget* owner)
    : QWidget(owner, Qt::Window), list_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("RecordWindow"));
    setWindowTitle(toQString(layout::kRecordWindowTitle));
    list_->setObjectName(QStringLiteral("RecordList"));
    list_->setAccessibleName(windowTitle());  // the list has no label of its own
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({toQString(layout::kRecordTimeColumn), toQString(layout::kRecordRoundColumn),
                            toQString(layout::kRecordResultColumn)});
    list_->header()->setStretchLastSection(true);

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
    auto* column = new QVBoxLayout(this);
    column->addWidget(list_);
    column->addLayout(row);
    resize(420, 320);
}

void RecordWindow::open() {
    show();
    raise();
    activateWindow();
    list_->setFocus(Qt::OtherFocusReason);
}

void RecordWindow::showRecord(const draw::ResultRecord& record) {
    // A handler either adds a result or clears them all, so the count tells what changed.
    const std::vector<draw::RecordedResult>& results = record.results();
    const auto shown = static_cast<std::size_t>(list_->topLevelItemCount());
    if (results.size() == shown) return;
    if (results.size() < shown) list_->clear();
    for (std::size_t i = static_cast<std::size_t>(list_->topLevelItemCount()); i < results.size(); ++i) {
        const draw::RecordedResult& result = results[i];
        list_->addTopLevelItem(new QTreeWidgetItem(
            {toQString(draw::timeOfDayText(result.time)),
             result.round ? QString::number(*result.round) : QString(), toQString(result.text)}));
    }
    list_->scrollToBottom();
}

}  // namespace zorbalin::window
