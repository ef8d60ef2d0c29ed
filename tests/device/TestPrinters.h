#pragma once
#include <QByteArray>
#include <QString>
#include <ostream>

// Readable failure messages for Qt values.
inline void PrintTo(const QString& AText, std::ostream* os) { *os << '"' << AText.toStdString() << '"'; }
inline void PrintTo(const QByteArray& AData, std::ostream* os) {
  *os << '[' << AData.toHex(' ').toStdString() << ']';
}
