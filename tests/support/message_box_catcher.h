// MessageBoxCatcher: records and closes every QMessageBox that appears while it is alive.
//
// Use it around code that may show a box from its own modal event loop (QMessageBox::exec,
// the static QMessageBox::critical and friends, or a box merely show()n):
//
//     MessageBoxCatcher boxes;
//     codeThatMayShowABox();
//     ASSERT_EQ(boxes.caught().size(), 1);
//     EXPECT_EQ(boxes.caught()[0].text, "Error: 53 File not found");
//
// It polls the visible top-level widgets every few milliseconds from a QTimer, which also
// runs inside the box's own event loop, so it needs no thread and never sleeps. Each box is
// recorded once, in the order in which it appeared, and then answered: by default with its
// OK button (or its escape button, or reject() when it has neither); setAnswer() picks
// another standard button. The catcher only acts while the event loop runs; code that shows
// no box returns with caught() empty.
#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

namespace zorbalin::test {

struct CaughtMessageBox {
    QString title;
    QString text;
    QString informativeText;
    Qt::TextFormat textFormat = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons standardButtons;  // the standard buttons it offered
    int buttonCount = 0;                           // all buttons, custom ones included
    bool modal = false;                            // shown modally (exec or modal flag)
    QWidget* parent = nullptr;                     // compare only; the box is gone
};

class MessageBoxCatcher : public QObject {
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher() override;

    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    // The boxes seen so far, oldest first.
    const QList<CaughtMessageBox>& caught() const { return boxes_; }

    // The standard button to press on the boxes that follow (default: QMessageBox::Ok).
    // A box without that button is answered with its escape button, else rejected.
    void setAnswer(QMessageBox::StandardButton answer) { answer_ = answer; }

private:
    void poll();
    void answer(QMessageBox& box);

    QTimer timer_;
    QList<CaughtMessageBox> boxes_;
    QList<QPointer<QMessageBox>> seen_;
    QMessageBox::StandardButton answer_ = QMessageBox::Ok;
};

}  // namespace zorbalin::test
