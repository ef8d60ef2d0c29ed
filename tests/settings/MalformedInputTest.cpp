#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <functional>

#include "SettingsTestFiles.h"
#include "TGlobals.Paths.h"
#include "Vek.Lang.h"
#include "uConfiguration.h"

// Damaged files of each kind load without a crash, and what is well-formed in them still reads.
namespace {

// One file kind: a well-formed entry, a later entry that contradicts it, and how to load a
// file of that kind and read the entry's value back.
struct TFileKind {
  const char* Name;
  QByteArray Entry;
  QByteArray Contradiction;
  QString Expected;
  QString ExpectedWithContradiction;  // which of two entries wins
  QString Default;
  std::function<QString(const QTemporaryDir&, const QByteArray&)> LoadAndRead;
};

QString ReadSettings(const QTemporaryDir& ADir, const QByteArray& AContent) {
  const QString path = ADir.filePath("Settings.cfg");
  EXPECT_TRUE(WriteBytes(path, AContent));
  const QString value = TConfiguration(path).GetDefaultUserName();
  TConfiguration(path).SetUseCloud(true);  // a write must not lose what was read
  const TConfiguration reread(path);
  EXPECT_TRUE(reread.GetUseCloud());
  EXPECT_EQ(reread.GetDefaultUserName(), value);
  return value;
}

QString ReadColors(const QTemporaryDir& ADir, const QByteArray& AContent) {
  TGlobals::SetDataFolderOverride(ADir.path());
  EXPECT_TRUE(WriteBytes(QDir(ADir.path()).filePath("colors.ini"), AContent));
  const QString value = QString::number(TGlobals::ColorPanelHeader(), 16);
  TGlobals::SetDataFolderOverride({});
  return value;
}

QString ReadTranslation(const QTemporaryDir& ADir, const QByteArray& AContent) {
  const QString path = ADir.filePath("German.lng");
  EXPECT_TRUE(WriteBytes(path, AContent));
  TLng engine;
  engine.SetLang(nullptr, engine.AddLang("German", path));
  return engine.Translate("Cancel");
}

const TFileKind kKinds[] = {
    {"Settings", "[AppSettings]\nUserName=Ann\n", "[appsettings]\nusername=Bob\n", "Ann", "Ann", "",
     ReadSettings},
    {"Colors", "[Colors]\nPanel=$FF102030\n", "[COLORS]\nPanel=1\n", "ff102030", "ff102030",
     "ff1e1e1c", ReadColors},
    {"Translation", "\"Cancel\" :=\"Abbrechen\"\n", "\"Cancel\" :=\"Annuler\"\n", "Abbrechen",
     "Annuler", "Cancel", ReadTranslation},
};

QByteArray Garbage(int ASize) {
  QByteArray bytes(ASize, '\0');
  quint32 state = 12345;
  for (char& byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<char>(state >> 16);
  }
  return bytes;
}

enum class TExpect { Entry, Contradiction, Default };

struct TDamage {
  const char* Name;
  TExpect Expect;
  std::function<QByteArray(const TFileKind&)> Build;
};

const TDamage kDamages[] = {
    {"BinaryGarbageAround", TExpect::Entry,
     [](const TFileKind& k) { return Garbage(4096) + "\n" + k.Entry + Garbage(4096); }},
    {"NulBytesInside", TExpect::Entry,
     [](const TFileKind& k) { return QByteArray("\0\0\0\n", 4) + k.Entry + QByteArray(3, '\0'); }},
    {"MegabyteLine", TExpect::Entry,
     [](const TFileKind& k) { return QByteArray(1 << 20, '[') + "\n" + k.Entry; }},
    {"MegabyteValue", TExpect::Entry,
     [](const TFileKind& k) { return k.Entry + "x=" + QByteArray(1 << 20, 'y') + " :=z\n"; }},
    {"NoFinalNewline", TExpect::Entry, [](const TFileKind& k) { return k.Entry.chopped(1); }},
    {"OldMacLineBreaks", TExpect::Entry,
     [](const TFileKind& k) { return QByteArray(k.Entry).replace('\n', '\r'); }},
    {"LoneUtf8Mark", TExpect::Default, [](const TFileKind&) { return QByteArray("\xEF\xBB\xBF"); }},
    {"LoneUtf16Mark", TExpect::Default, [](const TFileKind&) { return QByteArray("\xFF\xFE"); }},
    {"Utf16MarkOddLength", TExpect::Default,
     [](const TFileKind&) { return QByteArray("\xFE\xFF\x00", 3); }},
    {"InvalidUtf8", TExpect::Entry,
     [](const TFileKind& k) { return QByteArray("\xC3\x28\xE2\x82\n\xFF\n") + k.Entry; }},
    {"Empty", TExpect::Default, [](const TFileKind&) { return QByteArray(); }},
    {"Duplicated", TExpect::Contradiction,
     [](const TFileKind& k) { return k.Entry + k.Contradiction; }},
};

class MalformedInputTest
    : public ::testing::TestWithParam<std::tuple<const TFileKind*, const TDamage*>> {};

TEST_P(MalformedInputTest, LoadsAndKeepsTheWellFormedRest) {
  const auto [kind, damage] = GetParam();
  QTemporaryDir dir;
  const QString value = kind->LoadAndRead(dir, damage->Build(*kind));
  switch (damage->Expect) {
    case TExpect::Entry:
      EXPECT_EQ(value, kind->Expected);
      break;
    case TExpect::Contradiction:
      EXPECT_EQ(value, kind->ExpectedWithContradiction);
      break;
    case TExpect::Default:
      EXPECT_EQ(value, kind->Default);
      break;
  }
}

std::vector<const TFileKind*> Kinds() {
  std::vector<const TFileKind*> kinds;
  for (const TFileKind& kind : kKinds) kinds.push_back(&kind);
  return kinds;
}

std::vector<const TDamage*> Damages() {
  std::vector<const TDamage*> damages;
  for (const TDamage& damage : kDamages) damages.push_back(&damage);
  return damages;
}

INSTANTIATE_TEST_SUITE_P(Files, MalformedInputTest,
                         ::testing::Combine(::testing::ValuesIn(Kinds()),
                                            ::testing::ValuesIn(Damages())),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param)->Name) +
                                  std::get<1>(info.param)->Name;
                         });

}  // namespace
