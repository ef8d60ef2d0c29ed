#pragma once
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "dDb.h"

// A record store over a fresh data folder of its own.
class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FDir.isValid());
    FDb = std::make_unique<TdmDb>(FDir.path());
  }

  QString UsersFile() const { return FDir.filePath(QStringLiteral("users.db")); }

  QByteArray ReadUsersFile() const {
    QFile file(UsersFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  void WriteUsersFile(const QByteArray& AData) const {
    QFile file(UsersFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(AData), AData.size());
  }

  // The user list as a freshly started program would load it.
  QStringList ReloadedUsers() const {
    TdmDb fresh(FDir.path());
    fresh.Clear();
    return fresh.TableUsers();
  }

  QTemporaryDir FDir;
  std::unique_ptr<TdmDb> FDb;
};
