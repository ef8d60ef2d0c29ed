#include "Vek.Strings.h"

#include <algorithm>

int TStr::Pos(const QString& SubStr, const QString& Str, int Offset) {
  if (SubStr.isEmpty() || Offset < FirstIndex() || Offset > Str.size()) return 0;
  return static_cast<int>(Str.indexOf(SubStr, Offset - FirstIndex())) + FirstIndex();
}

QString TStr::Copy(const QString& S, int Index, int Count) {
  const qsizetype start = std::max(Index, FirstIndex()) - FirstIndex();
  if (Count <= 0 || start >= S.size()) return {};
  return S.mid(start, Count);
}
