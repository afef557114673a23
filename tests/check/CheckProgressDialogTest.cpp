// The check run through the real progress dialog, real workers, real shortcut files and a loopback
// server. The dialog's ticks run in real time (one second each).

#include "check/CheckProgressDialog.h"
#include "FixedClock.h"
#include "TempFavorites.h"
#include "TestHttpServer.h"
#include "check/UrlCheckWorker.h"
#include "platform/MessageBox.h"

#include <QIcon>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace lintora::test {
namespace {

class CheckRun : public ::testing::Test
{
protected:
    // What the dialog held when a tick had done its work.
    struct TickState
    {
        QStringList workerPaths; // path of each slot's worker, "" for an empty slot
        QStringList pending;
        int progress = 0;
    };

    void SetUp() override
    {
        MessageService::setInstance(&recorded);
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::red);
        mainWindow.setWindowIcon(QIcon(pixmap));
        form = std::make_unique<TForm5>(&mainWindow, settings);
        form->CreateWorker = [this](const QString& path) {
            return std::make_unique<TCheckURL>(path, settings, 5000);
        };
        QObject::connect(form.get(), &TForm5::ticked, [this] { ticks << snapshot(); });

        server.on("/ok", TestHttpServer::afterPause(5, TestHttpServer::status(200)));
        // Answers after a moment, so that no check can end within the tick that started it.
        server.on("/slow", [](TestHttpServer::Connection& c, const TestHttpServer::Request&) {
            c.pause(300);
            c.send("HTTP/1.0 200 OK\r\n\r\n<html></html>");
        });
    }

    void TearDown() override { MessageService::setInstance(nullptr); }

    TickState snapshot() const
    {
        TickState state;
        for (const auto& worker : form->Workers)
            state.workerPaths << (worker ? worker->path() : QString());
        state.pending = form->PendingFiles;
        state.progress = form->ProgressBar1->value();
        return state;
    }

    // Runs the check over paths; during the run, duringRun is called once the dialog is shown.
    void run(const QStringList& paths, std::function<void()> duringRun = {})
    {
        if (duringRun)
            QTimer::singleShot(0, form.get(), duringRun);
        // A run that never ends would hang the test suite: end it by force, as a failure.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [this] {
            ADD_FAILURE() << "the run did not end";
            form->PendingFiles.clear();
            form->CloseAllowed = true;
            form->close();
        });
        guard.start(60000);
        form->Run(paths);
    }

    QStringList addShortcuts(int count, const QString& path)
    {
        QStringList paths;
        for (int i = 1; i <= count; ++i)
            paths << favorites.addShortcut("", QStringLiteral("bookmark%1").arg(i), server.url(path));
        return paths;
    }

    static QStringList emptySlots() { return QStringList(TForm5::SlotCount, QString()); }

    RecordingMessageService recorded;
    TempFavorites favorites;
    TestHttpServer server;
    AppSettings settings;
    QWidget mainWindow;
    std::unique_ptr<TForm5> form;
    QList<TickState> ticks;
};

TEST_F(CheckRun, DialogLayout)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Lintora - 接続確認中..."));
    EXPECT_EQ(form->size(), QSize(233, 61));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->ProgressBar1->geometry(), QRect(8, 8, 217, 17));
    EXPECT_EQ(form->Button1->geometry(), QRect(64, 32, 97, 25));
    EXPECT_EQ(form->Button1->text(), QStringLiteral("中止"));
    EXPECT_EQ(form->Timer1->interval(), 1000);
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_FALSE(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(form->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(form->windowIcon().pixmap(16).toImage(), mainWindow.windowIcon().pixmap(16).toImage());
    EXPECT_EQ(form->font().family(), QStringLiteral("IPAPGothic"));
}

TEST_F(CheckRun, OneBookmarkIsCheckedAfterTheFirstTickAndItsResultStored)
{
    FixedClock clock;
    const QStringList paths = addShortcuts(1, "/ok");
    bool checkedAtShow = false;
    run(paths, [&] {
        checkedAtShow = true;
        EXPECT_EQ(form->ProgressBar1->maximum(), 1);
        EXPECT_EQ(form->ProgressBar1->value(), 0);
        EXPECT_EQ(form->Button1->text(), QStringLiteral("中止"));
        EXPECT_TRUE(form->Button1->isEnabled());
        EXPECT_EQ(snapshot().workerPaths, emptySlots());
        EXPECT_EQ(server.connectionCount(), 0) << "no check may start before the first tick";
    });

    EXPECT_TRUE(checkedAtShow);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->ProgressBar1->value(), 1);
    EXPECT_EQ(server.connectionCount(), 1);
    TBMFile record(paths[0]);
    EXPECT_EQ(record.GetStatus(), 1);
    EXPECT_EQ(record.GetCheckDateText(), QString::fromLatin1(FixedClock::Text));
    EXPECT_GT(record.GetResponse(), 0.0);
    EXPECT_TRUE(recorded.entries.isEmpty());
}

TEST_F(CheckRun, SevenBookmarksStartFiveAtATimeInListOrder)
{
    const QStringList paths = addShortcuts(7, "/slow");
    run(paths);

    ASSERT_GE(ticks.size(), 3);
    // The first tick fills every slot from the front of the list.
    EXPECT_EQ(ticks[0].workerPaths, paths.mid(0, 5));
    EXPECT_EQ(ticks[0].pending, paths.mid(5));
    // The second reaps the five ended checks; their slots are filled only at the next tick.
    EXPECT_EQ(ticks[1].workerPaths, emptySlots());
    EXPECT_EQ(ticks[1].pending, paths.mid(5));
    EXPECT_EQ(ticks[1].progress, 5);
    EXPECT_EQ(ticks[2].workerPaths, (QStringList{paths[5], paths[6], "", "", ""}));
    EXPECT_TRUE(ticks[2].pending.isEmpty());

    EXPECT_EQ(form->ProgressBar1->value(), 7);
    for (const QString& path : paths)
        EXPECT_EQ(TBMFile(path).GetStatus(), 1) << path.toStdString();
}

TEST_F(CheckRun, EscBeforeTheFirstTickChecksNothing)
{
    const QStringList paths = addShortcuts(3, "/ok");
    QList<QByteArray> before;
    for (const QString& path : paths)
        before << TempFavorites::readBytes(path);

    run(paths, [&] {
        QTest::keyClick(form.get(), Qt::Key_Escape);
        EXPECT_FALSE(form->Button1->isEnabled());
        EXPECT_EQ(form->Button1->text(), QStringLiteral("中止処理中..."));
        EXPECT_TRUE(form->PendingFiles.isEmpty());
        EXPECT_TRUE(form->isVisible()) << "the dialog closes only at a tick";
    });

    EXPECT_EQ(ticks.size(), 1);
    EXPECT_EQ(form->ProgressBar1->value(), 0);
    EXPECT_EQ(server.connectionCount(), 0);
    for (int i = 0; i < paths.size(); ++i)
        EXPECT_EQ(TempFavorites::readBytes(paths[i]), before[i]);
}

TEST_F(CheckRun, AbortAfterChecksEndedButBeforeTheyWereReapedWritesNothing)
{
    const QStringList paths = addShortcuts(6, "/slow");
    QList<QByteArray> before;
    for (const QString& path : paths)
        before << TempFavorites::readBytes(path);

    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (const auto& worker : form->Workers)
            if (!worker || worker->isRunning())
                return;
        poll.stop();
        form->Button1->click();
    });
    QObject::connect(form.get(), &TForm5::ticked, [&] {
        if (ticks.size() == 1)
            poll.start();
    });
    run(paths);

    ASSERT_GE(ticks.size(), 1);
    EXPECT_EQ(ticks[0].workerPaths, paths.mid(0, 5));
    EXPECT_EQ(server.connectionCount(), 5) << "the sixth bookmark must not be checked";
    EXPECT_EQ(form->ProgressBar1->value(), 5);
    EXPECT_EQ(form->ProgressBar1->maximum(), 6);
    EXPECT_EQ(form->Button1->text(), QStringLiteral("中止処理中..."));
    for (int i = 0; i < paths.size(); ++i)
        EXPECT_EQ(TempFavorites::readBytes(paths[i]), before[i]) << paths[i].toStdString();
}

TEST_F(CheckRun, CloseBoxIsRefusedDuringTheRun)
{
    const QStringList paths = addShortcuts(1, "/slow");
    int refusals = 0;
    const auto tryToClose = [&] {
        if (!form->close() && form->isVisible())
            ++refusals;
    };
    QObject::connect(form.get(), &TForm5::ticked, [&] {
        if (ticks.size() == 1)
            tryToClose(); // a check is under way
    });
    run(paths, tryToClose);

    EXPECT_EQ(refusals, 2);
    EXPECT_EQ(TBMFile(paths[0]).GetStatus(), 1) << "the run goes on to its end";
    EXPECT_EQ(form->ProgressBar1->value(), 1);
}

TEST_F(CheckRun, FilesThatRefuseTheirResultsAreNamedInOneMessageAtTheEnd)
{
    const QStringList paths = addShortcuts(3, "/ok");
    TempFavorites::makeReadOnly(paths[0]);
    TempFavorites::makeReadOnly(paths[2]);
    const QByteArray lockedBytes = TempFavorites::readBytes(paths[0]);
    bool noMessageDuringRun = true;
    QObject::connect(form.get(), &TForm5::ticked, [&] { noMessageDuringRun &= recorded.entries.isEmpty(); });
    run(paths);

    EXPECT_TRUE(noMessageDuringRun);
    ASSERT_EQ(recorded.entries.size(), 1);
    EXPECT_EQ(recorded.entries[0].kind, RecordingMessageService::Kind::Inform);
    EXPECT_EQ(recorded.entries[0].text, paths[0] + " に書き込めません\n" + paths[2] + " に書き込めません");
    EXPECT_EQ(TempFavorites::readBytes(paths[0]), lockedBytes);
    EXPECT_EQ(TBMFile(paths[1]).GetStatus(), 1);
    EXPECT_EQ(form->ProgressBar1->value(), 3);
}

TEST_F(CheckRun, WorkerThatCannotBeMadeCountsAsDoneWithNothingWritten)
{
    const QStringList paths = addShortcuts(3, "/ok");
    const QByteArray untouched = TempFavorites::readBytes(paths[1]);
    form->CreateWorker = [this, failing = paths[1]](const QString& path) -> std::unique_ptr<TCheckURL> {
        if (path == failing)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        return std::make_unique<TCheckURL>(path, settings, 5000);
    };
    run(paths);

    EXPECT_EQ(TempFavorites::readBytes(paths[1]), untouched);
    EXPECT_EQ(TBMFile(paths[0]).GetStatus(), 1);
    EXPECT_EQ(TBMFile(paths[2]).GetStatus(), 1);
    EXPECT_EQ(form->ProgressBar1->value(), 3);
    EXPECT_EQ(server.connectionCount(), 2);
    EXPECT_TRUE(recorded.entries.isEmpty());
}

} // namespace
} // namespace lintora::test
