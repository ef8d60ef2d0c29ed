#pragma once
#include <QByteArray>
#include <initializer_list>

// Builds a byte array from byte values, so tests read like the hex dumps they check.
inline QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray out;
  for (int v : values) out.append(static_cast<char>(v));
  return out;
}
