#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QSysInfo>
#include <QThread>
#include <QUuid>
#include <atomic>
#include <thread>

#include "platform/SingleInstance.h"

using namespace plavex::platform;

namespace {

QString UniqueKey() { return QStringLiteral("PlavexTest-") + QUuid::createUuid().toString(QUuid::Id128); }

// Runs the client on another thread while this one serves the socket.
std::optional<IpcReply> SendWhileServing(const QString& key, const QString& line) {
  std::optional<IpcReply> reply;
  std::atomic<bool> done{false};
  std::thread client([&] {
    reply = SendCommand(key, line, 2000, 5000);
    done = true;
  });
  while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  client.join();
  return reply;
}

}  // namespace

class SingleInstanceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "platform_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
  }
};

TEST_F(SingleInstanceTest, OnlyTheFirstOfTwoStartsIsFirst) {
  const QString key = UniqueKey();
  SingleInstance first(key);
  SingleInstance second(key);
  EXPECT_TRUE(first.IsFirstInstance());
  EXPECT_FALSE(second.IsFirstInstance());
}

TEST_F(SingleInstanceTest, CommandsReachTheHandlerAndRepliesComeBack) {
  const QString key = UniqueKey();
  SingleInstance server(key);
  ASSERT_TRUE(server.IsFirstInstance());
  QString seenCommand, seenArguments;
  server.setHandler([&](const QString& command, const QString& arguments) {
    seenCommand = command;
    seenArguments = arguments;
    if (command == QLatin1String("state")) return IpcReply{IpcReply::Ok, QByteArray("{\"page\":0}\n")};
    return IpcReply{IpcReply::UnknownCommand, QByteArray("unknown command\n")};
  });

  auto reply = SendWhileServing(key, QStringLiteral("state"));
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(reply->status, IpcReply::Ok);
  EXPECT_EQ(reply->body, QByteArray("{\"page\":0}\n"));

  reply = SendWhileServing(key, QStringLiteral("open /tmp/a movie.swf"));
  ASSERT_TRUE(reply.has_value());
  EXPECT_EQ(reply->status, IpcReply::UnknownCommand);
  EXPECT_EQ(seenCommand, QStringLiteral("open"));
  EXPECT_EQ(seenArguments, QStringLiteral("/tmp/a movie.swf"));
}

TEST_F(SingleInstanceTest, NoPlayerMeansNoReply) {
  EXPECT_FALSE(SendCommand(UniqueKey(), QStringLiteral("state"), 300, 300).has_value());
}

TEST_F(SingleInstanceTest, ALockLeftByADeadPlayerIsTakenOver) {
  const QString key = UniqueKey();
  // A player that was killed leaves its lock file and socket behind.
  {
    SingleInstance crashed(key);
    ASSERT_TRUE(crashed.IsFirstInstance());
  }  // released normally; now fake a stale lock with a pid that does not run
  QFile lock(InstanceSocketName(key) + QStringLiteral(".lock"));
  ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
  lock.write("999999\nplavex\n" + QSysInfo::machineHostName().toUtf8() + "\n");
  lock.close();
  SingleInstance next(key);
  EXPECT_TRUE(next.IsFirstInstance());
}
