#pragma once
#include <QString>

// One convention for string positions across the program: positions count from 1, and 0
// means "not found". Out-of-range arguments are clipped, never an error.
class TStr {
 public:
  static constexpr int FirstIndex() { return 1; }
  // The 1-based position of SubStr in Str at or after Offset; 0 when absent, when SubStr is
  // empty or when Offset lies outside Str.
  static int Pos(const QString& SubStr, const QString& Str, int Offset = 1);
  // Count characters from the 1-based Index; an Index below 1 counts as 1, and a Count that
  // runs past the end takes what is there.
  static QString Copy(const QString& S, int Index, int Count);
};
