#pragma once
#include <QByteArray>
#include <QString>
#include <initializer_list>
#include <ostream>

// A byte array from byte values.
inline QByteArray Bytes(std::initializer_list<int> AValues) {
  QByteArray out;
  for (int v : AValues) out.append(static_cast<char>(v));
  return out;
}

// Readable failure messages for Qt values.
inline void PrintTo(const QString& AText, std::ostream* os) {
  *os << '"' << AText.toStdString() << '"';
}
inline void PrintTo(const QByteArray& AData, std::ostream* os) {
  *os << '[' << AData.toHex(' ').toStdString() << ']';
}
