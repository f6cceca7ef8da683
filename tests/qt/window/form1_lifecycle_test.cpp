// Startup and shutdown against the settings store: what a user sees at start, and what
// is remembered for the next run.
#include <QCloseEvent>
#include <QWindow>

#include <sys/stat.h>

#include "form1_fixture.h"
#include "layout/layout_table.h"
#include "message_box_catcher.h"

namespace zorbalin::test {
namespace {

class LifecycleTest : public Form1Test {};

TEST_F(LifecycleTest, FirstRunStartsEmptyWithFiftyAndStoresThem) {
    open();
    EXPECT_EQ(editorText(), "");
    EXPECT_EQ(interval()->text(), "50");
    EXPECT_EQ(pick()->text(), "");
    EXPECT_EQ(startStop()->text(), QStringLiteral("开始滚动"));
    closeWindow();
    EXPECT_EQ(storedSetting("Path").toString(), "");
    EXPECT_EQ(storedSetting("Interval").toString(), "50");
}

TEST_F(LifecycleTest, UnreadableRememberedFileIsReportedOnceAndPathKept) {
    // A PNG is no candidate list: refused with a message once the window is up.
    const QString path = writeFile(QStringLiteral("photo.png"),
                                   QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    storeSetting("Path", path);
    MessageBoxCatcher boxes;
    open().show();  // the box, not the window, becomes active
    QTRY_COMPARE(boxes.caught().size(), 1);
    EXPECT_TRUE(boxes.caught()[0].text.contains(QStringLiteral("photo.png")));
    EXPECT_EQ(editorText(), "");
    closeWindow();
    EXPECT_EQ(storedSetting("Path").toString(), path);
}

TEST_F(LifecycleTest, StoredIntervalIsShownVerbatimAndOnlyLeavingTidiesIt) {
    storeSetting("Interval", "abc");
    openShown();
    EXPECT_EQ(interval()->text(), "abc");
    interval()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(interval(), Qt::Key_Tab);
    EXPECT_EQ(interval()->text(), "0");
}

TEST_F(LifecycleTest, AwkwardPathsRoundTripThroughTheStore) {
    const QString paths[] = {
        QStringLiteral("/tmp/a, b.txt"),
        QStringLiteral("/tmp/\"quoted\" 'name'.txt"),
        QStringLiteral("@leading-at.txt"),
        QStringLiteral("C:\\Users\\老师\\名单 2024.txt"),
        QStringLiteral("/tmp/semi;colon=equals#hash.txt"),
        QStringLiteral("  spaces around  "),
    };
    for (const QString& path : paths) {
        SCOPED_TRACE(qPrintable(path));
        storeSetting("Path", path);
        storeSetting("Interval", QStringLiteral("1,5"));
        open();
        closeWindow();
        form.reset();
        EXPECT_EQ(storedSetting("Path").toString(), path);
        EXPECT_EQ(storedSetting("Interval").toString(), "1,5");
        open();
        EXPECT_EQ(form->listPath(), path);
        EXPECT_EQ(interval()->text(), "1,5");
        form.reset();
    }
}

// Makes the store's folder a file, so nothing can be written there, until destroyed.
class UnwritableStore {
public:
    UnwritableStore()
        : folder_(QSettings(QSettings::NativeFormat, QSettings::UserScope,
                            QStringLiteral("Pellanor"), QStringLiteral("Pellanor"))
                      .fileName()
                      .section(QLatin1Char('/'), 0, -2)) {
        QDir(folder_).removeRecursively();
        EXPECT_TRUE(QDir().mkpath(folder_.section(QLatin1Char('/'), 0, -2)));
        QFile blocker(folder_);
        EXPECT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    ~UnwritableStore() { QFile::remove(folder_); }
    UnwritableStore(const UnwritableStore&) = delete;
    UnwritableStore& operator=(const UnwritableStore&) = delete;
    const QString& folder() const { return folder_; }

private:
    QString folder_;
};

TEST_F(LifecycleTest, UserClosingTheWindowHearsThatTheSettingsWereNotSaved) {
    const UnwritableStore store;
    openShown();
    MessageBoxCatcher boxes;
    // To the platform window, as the close button does: the widget gets a spontaneous
    // close event. (QWindow::close() would not count as the user's.)
    QCloseEvent close;
    QCoreApplication::sendEvent(form->windowHandle(), &close);
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(boxes.caught().size(), 1);
    EXPECT_EQ(boxes.caught()[0].title, qs(std::u16string(layout::kWindowCaption)));
    EXPECT_TRUE(boxes.caught()[0].text.startsWith(QStringLiteral("无法保存设置到“")))
        << qPrintable(boxes.caught()[0].text);
    EXPECT_EQ(boxes.caught()[0].parent, form.get());
}

TEST_F(LifecycleTest, UnwritableStoreDoesNotStopTheWindowClosing) {
    const UnwritableStore store;
    openShown();
    MessageBoxCatcher boxes;
    EXPECT_TRUE(form->close());  // as on SIGTERM or logout: no box waits for the user
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(boxes.caught().isEmpty());
}

}  // namespace
}  // namespace zorbalin::test
