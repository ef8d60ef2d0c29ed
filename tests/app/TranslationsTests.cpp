// The shipped translations cover the window: every text it shows, in every shipped language,
// is an entry of the shipped files. The window is walked page by page, with the messages and
// lists that code fills reached as the user reaches them.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMetaProperty>
#include <QRegularExpression>
#include <QSet>
#include <QTextStream>
#include <QTreeWidget>

#include "SettingsFixture.h"
#include "TGlobals.Codecs.h"
#include "Vek.Lang.h"
#include "Vek.Switch.h"
#include "pages/uPanelUsers.h"

namespace {

// Names, not words: they are the same in every language.
const QSet<QString> ProductNames = {QStringLiteral("KX52xx"), QStringLiteral("Sealwise")};

const QString DeviceName = QStringLiteral("KX5220_TEST");

// One side of a translation file: its texts, and the texts with placeholders as patterns.
struct TTexts {
  QSet<QString> Exact;
  QList<QRegularExpression> Patterns;

  void Add(const QString& AText) {
    Exact.insert(AText);
    static const QRegularExpression placeholder(QStringLiteral("%[sd]"));
    if (!AText.contains(placeholder)) return;
    // The fixed parts literally, a text for each %s and a number for each %d.
    QString pattern;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(AText)) {
      pattern += QRegularExpression::escape(AText.mid(from, match.capturedStart() - from));
      pattern += match.captured() == QLatin1String("%s") ? QStringLiteral("[\\s\\S]*")
                                                         : QStringLiteral("-?\\d+");
      from = match.capturedEnd();
    }
    pattern += QRegularExpression::escape(AText.mid(from));
    Patterns << QRegularExpression(QRegularExpression::anchoredPattern(pattern));
  }
  bool Covers(const QString& AText) const {
    if (Exact.contains(AText)) return true;
    for (const QRegularExpression& pattern : Patterns) {
      if (pattern.match(AText).hasMatch()) return true;
    }
    return false;
  }
};

struct TLngFile {
  QString Name;
  TTexts Sources;
  TTexts Translations;
};

QString Unquoted(QString AText) {
  AText = AText.trimmed();
  if (AText.startsWith(u'"')) AText.remove(0, 1);
  if (AText.endsWith(u'"')) AText.chop(1);
  return AText;
}

// Read by the rules of the translation engine.
TLngFile ReadLngFile(const QFileInfo& AFile) {
  TLngFile lng;
  lng.Name = AFile.completeBaseName();
  QFile file(AFile.absoluteFilePath());
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(AFile.absoluteFilePath());
  QTextStream in(&file);
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    if (line.isEmpty() || line.startsWith(u';')) continue;
    const int separator = line.indexOf(QStringLiteral(" :="));
    if (separator < 0) continue;
    const QString source = Unquoted(line.left(separator));
    if (source.isEmpty()) continue;
    lng.Sources.Add(source);
    lng.Translations.Add(Unquoted(line.mid(separator + 3)));
  }
  return lng;
}

std::vector<TLngFile> ShippedFiles() {
  std::vector<TLngFile> files;
  const QDir folder(QStringLiteral(SEALWISE_SOURCE_DIR "/translations"));
  for (const QFileInfo& file : folder.entryInfoList({QStringLiteral("*.lng")}, QDir::Files))
    files.push_back(ReadLngFile(file));
  return files;
}

bool IsWord(const QString& AText) {
  if (ProductNames.contains(AText) || AText == DeviceName) return false;
  return std::any_of(AText.begin(), AText.end(), [](QChar c) { return c.isLetter(); });
}

// A line is covered as it is, or by its caption when it ends in numbers (a count or a time
// put behind a translated caption).
bool IsLineCovered(const TTexts& ATexts, const QString& ALine) {
  static const QRegularExpression trailingNumbers(QStringLiteral("[-+\\d/.,]*\\d$"));
  QString caption = ALine;
  caption.remove(trailingNumbers);
  return !IsWord(ALine) || ATexts.Covers(ALine) || ATexts.Covers(caption) ||
         ATexts.Covers(caption.trimmed());
}

// A text is covered as a whole, or line by line.
bool IsCovered(const TTexts& ATexts, const QString& AText) {
  if (ATexts.Covers(AText)) return true;
  const QStringList lines = AText.split(QRegularExpression(QStringLiteral("\r?\n")));
  return std::all_of(lines.begin(), lines.end(),
                     [&ATexts](const QString& ALine) { return IsLineCovered(ATexts, ALine); });
}

// Controls that show data, not fixed texts, are kept out of translation by the window; so
// is everything inside them.
bool IsDataControl(const QObject* AObject) {
  for (const QObject* o = AObject; o != nullptr; o = o->parent()) {
    if (Lng->IsExcludedFromTranslation(o)) return true;
  }
  return false;
}

// The toolkit's own parts (named "qt_..."), such as a calendar's month menu or a message box's
// buttons, show the toolkit's texts.
bool IsToolkitPart(const QObject* AObject) {
  for (const QObject* o = AObject; o != nullptr; o = o->parent()) {
    if (o->objectName().startsWith(QLatin1String("qt_"))) return true;
    if (o != AObject && qobject_cast<const QMessageBox*>(o)) return true;
  }
  return false;
}

// The translation engine's property: "text", readable and writable.
QString TextProperty(const QObject* AObject) {
  const QMetaObject* meta = AObject->metaObject();
  const int index = meta->indexOfProperty("text");
  if (index < 0) return QString();
  const QMetaProperty property = meta->property(index);
  if (!property.isWritable() || property.metaType().id() != QMetaType::QString) return QString();
  return property.read(AObject).toString();
}

// Where a shown text was seen: the nearest named control, for the failure message.
QString Where(const QObject* AObject) {
  for (const QObject* o = AObject; o != nullptr; o = o->parent()) {
    if (!o->objectName().isEmpty()) return o->objectName();
  }
  return QStringLiteral("?");
}

using TShownTexts = QMap<QString, QString>;  // text -> where it was seen

// What the window shows now: window titles, text properties, prompts, list entries and
// message boxes (without the toolkit's own parts).
void AddShownTexts(const QWidget& AWindow, TShownTexts& ATexts) {
  ATexts.insert(AWindow.windowTitle(), AWindow.objectName());
  for (const QObject* object : AWindow.findChildren<QObject*>()) {
    if (IsDataControl(object) || IsToolkitPart(object)) continue;
    const QString where = Where(object);
    auto add = [&ATexts, &where](const QString& AText) { ATexts.insert(AText, where); };
    if (auto* box = qobject_cast<const QMessageBox*>(object)) {
      add(box->text());
      add(box->windowTitle());
      continue;
    }
    // An edit box holds what the user types; its prompt is the window's text.
    if (auto* edit = qobject_cast<const QLineEdit*>(object))
      add(edit->placeholderText());
    else
      add(TextProperty(object));
    if (auto* list = qobject_cast<const QListWidget*>(object)) {
      for (int i = 0; i < list->count(); ++i) add(list->item(i)->text());
    }
    if (auto* tree = qobject_cast<const QTreeWidget*>(object)) {
      for (int i = 0; i < tree->columnCount(); ++i) add(tree->headerItem()->text(i));
    }
    if (auto* combo = qobject_cast<const QComboBox*>(object)) {
      for (int i = 0; i < combo->count(); ++i) add(combo->itemText(i));
    }
  }
}

}  // namespace

class TTranslationsTest : public TSettingsTest, public ::testing::WithParamInterface<QString> {
 protected:
  void Collect() {
    ProcessEventsFor(20);
    AddShownTexts(*Window, FShown);
  }
  void CollectMessage() {
    Collect();
    CloseMessages();
  }
  // Every page of the window, and what code shows on the way.
  void WalkTheWindow() {
    StartWithFakeLinks();
    Collect();  // the connection page with its waiting text
    ConnectUsb(DeviceName);
    Usb().Answer(4, TGlobals::String_ToData(QStringLiteral("SN-1")));
    Collect();
    Window->UsersPanel()->ShowUserList(true);
    Collect();
    Window->UsersPanel()->ShowUserList(false);
    Usb().Answer(255, QByteArray::fromHex("22000000010000000000"));  // an impact alert
    Collect();
    TWorkingPage* working = Window->WorkingPage();
    for (QWidget* page : {working->tabDashboard(), working->tabReport(), working->tabSettings()}) {
      TGlobals::SwitchTab(page);
      Collect();
    }
    for (int page = 0; page < TSettingsPage::spCount; ++page) {
      TGlobals::SwitchTab(Page(static_cast<TSettingsPage::TSubPage>(page)));
      Collect();
    }
    WalkTheSettingsMessages();
    Window->ShowTutorialFromSettings();
    Collect();
    Window->ShowLicenseFromSettings();
    Collect();
  }
  void WalkTheSettingsMessages() {
    Open("lbiMainDevice");
    LeaveUnchanged("edtSettingsDevName");
    CollectMessage();
    TypeAndLeave("edtDevAppSettings_AlgSensitivity", QStringLiteral("85"));
    CollectMessage();
    FServer = StartCloudServer();
    Configuration->SetCloudAddress(FServer->BaseUrl());
    Open("lbiMainCloud");
    Find<TSwitch>("swSettingsCloudUse")->click();  // the data-charges warning
    CollectMessage();
  }

  TShownTexts FShown;
  std::unique_ptr<TLoopbackHttpServer> FServer;
};

TEST_P(TTranslationsTest, EveryShownTextHasItsEntry) {
  const std::vector<TLngFile> files = ShippedFiles();
  ASSERT_GE(files.size(), 2u);
  Configuration->SetLanguage(GetParam());
  WalkTheWindow();
  ASSERT_TRUE(Messages().isEmpty());
  const bool english = GetParam() == QStringLiteral("English");
  for (const TLngFile& file : files) {
    if (!english && file.Name != GetParam()) continue;
    QStringList missing;
    for (auto shown = FShown.cbegin(); shown != FShown.cend(); ++shown) {
      if (!IsWord(shown.key())) continue;
      if (!IsCovered(english ? file.Sources : file.Translations, shown.key()))
        missing << QStringLiteral("\"%1\" (%2)").arg(shown.key(), shown.value());
    }
    missing.sort();
    EXPECT_TRUE(missing.isEmpty()) << qPrintable(file.Name) << " lacks:\n  "
                                   << qPrintable(missing.join(QStringLiteral("\n  ")));
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, TTranslationsTest,
                         ::testing::Values(QStringLiteral("English"), QStringLiteral("Deutsch"),
                                           QStringLiteral("Français")),
                         [](const auto& info) {
                           return info.index == 0   ? std::string("English")
                                  : info.index == 1 ? std::string("German")
                                                    : std::string("French");
                         });

// Messages of failures the walk above cannot provoke (a full disk, a missing folder, a port
// without access) still reach the screen translated.
TEST(TShippedTranslationsTest, FailureMessagesHaveTheirEntries) {
  const QStringList failureMessages = {
      QStringLiteral("Can't write file %s"),
      QStringLiteral("The folder does not exist."),
      QStringLiteral("Can't open port %s"),
      QStringLiteral("You have no permission to use this port. Add your user to the \"dialout\" "
                     "group (sudo usermod -a -G dialout $USER), then log out and log in again."),
      QStringLiteral("Can't turn on bluetooth communication."),
      QStringLiteral("No necessary permissions to use this application."),
  };
  const std::vector<TLngFile> files = ShippedFiles();
  ASSERT_GE(files.size(), 2u);
  for (const TLngFile& file : files) {
    for (const QString& message : failureMessages)
      EXPECT_TRUE(file.Sources.Exact.contains(message)) << qPrintable(file.Name) << ": "
                                                        << qPrintable(message);
  }
}
