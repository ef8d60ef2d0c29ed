#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>

// Whole-file helpers for tests that check the bytes a component reads or writes.
inline QByteArray ReadBytes(const QString& APath) {
  QFile file(APath);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteBytes(const QString& APath, const QByteArray& ABytes) {
  QFile file(APath);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
         file.write(ABytes) == ABytes.size();
}
