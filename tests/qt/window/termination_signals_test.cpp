// Ends asked for from outside: the session manager before a logout, and the signals that
// reach the window through a socket.
#include <QSessionManager>

#include <fcntl.h>

#include "form1_fixture.h"
#include "termination_signals.h"

namespace zorbalin::test {
namespace {

class TerminationTest : public Form1Test {
protected:
    void startWithInterval(const QString& text) {
        interval()->setText(text);
        QTest::mouseClick(startStop(), Qt::LeftButton);  // the start takes the interval
        QTest::mouseClick(startStop(), Qt::LeftButton);
    }
};

TEST_F(TerminationTest, SessionAskingForDataStoresTheSettingsAndKeepsTheWindow) {
    openShown();
    window::closeOnTermination(form.get());
    editor()->setPlainText(QStringLiteral("x"));
    startWithInterval(QStringLiteral("200"));

    auto* session = qApp->findChild<QSessionManager*>();
    ASSERT_NE(session, nullptr);
    emit qApp->commitDataRequest(*session);
    EXPECT_EQ(storedSetting("Interval").toString(), QStringLiteral("200"));
    EXPECT_TRUE(form->isVisible());  // the user may still cancel the logout

    // The logout was cancelled; the window keeps working and its shutdown runs at the end.
    startWithInterval(QStringLiteral("300"));
    closeWindow();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(storedSetting("Interval").toString(), QStringLiteral("300"));
}

TEST_F(TerminationTest, SignalSocketNeverBlocksAndIsNotInherited) {
    open();
    window::closeOnTermination(form.get());
    const auto [writeEnd, readEnd] = window::terminationSignalSocket();
    for (const int fd : {writeEnd, readEnd}) {
        ASSERT_GE(fd, 0);
        EXPECT_TRUE(fcntl(fd, F_GETFL) & O_NONBLOCK) << fd;
        EXPECT_TRUE(fcntl(fd, F_GETFD) & FD_CLOEXEC) << fd;
    }
}

}  // namespace
}  // namespace zorbalin::test
