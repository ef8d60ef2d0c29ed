#include "Vek.Lang.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaProperty>
#include <QObject>
#include <QRegularExpression>

#include "SealwiseError.h"
#include "Vek.TextEncoding.h"

std::unique_ptr<TLng> Lng;

namespace {

const QString kTextKey = QStringLiteral("Text");
const char kTextProperty[] = "text";

QString Unquoted(const QString& ASide) {
  QString text = ASide.trimmed();
  if (text.startsWith(u'"')) text.remove(0, 1);
  if (text.endsWith(u'"')) text.chop(1);
  return text;
}

void AddEntry(const QString& ALine, QHash<QString, QString>& ADictionary) {
  const QString line = ALine.trimmed();
  if (line.isEmpty() || line.startsWith(u';')) return;
  static const QString separator = QStringLiteral(" :=");
  const qsizetype at = line.indexOf(separator);
  if (at < 0) return;
  const QString source = Unquoted(line.left(at));
  if (!source.isEmpty()) ADictionary.insert(source, Unquoted(line.mid(at + separator.size())));
}

QHash<QString, QString> LoadTranslations(const QString& AFileName) {
  QFile file(AFileName);
  if (!file.open(QIODevice::ReadOnly))
    throw ESealwiseError(QStringLiteral("Can't read translation file \"%1\".").arg(AFileName));
  static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
  QHash<QString, QString> dictionary;
  for (const QString& line : DecodeText(file.readAll()).Text.split(lineBreak))
    AddEntry(line, dictionary);
  return dictionary;
}

const QObject* TopOfTree(const QObject* AObj) {
  while (AObj->parent()) AObj = AObj->parent();
  return AObj;
}

const QObject* NearestNamed(const QObject* AObj) {
  while (AObj && AObj->objectName().isEmpty()) AObj = AObj->parent();
  return AObj;
}

bool IsToolkitInternal(const QObject* AObj) {
  return AObj->objectName().startsWith(QLatin1String("qt_"));
}

// The "text" property when it is a string that can be both read and written.
QMetaProperty TextProperty(const QObject* AObj) {
  const QMetaObject* meta = AObj->metaObject();
  const int index = meta->indexOfProperty(kTextProperty);
  if (index < 0) return {};
  const QMetaProperty property = meta->property(index);
  const bool usable = property.isReadable() && property.isWritable() &&
                      property.metaType().id() == QMetaType::QString;
  return usable ? property : QMetaProperty();
}

}  // namespace

TObjText::TObjText(QObject* AObj, QString AKey, QString AValue)
    : Obj(AObj), Key(std::move(AKey)), Value(std::move(AValue)) {}

TLng::TLng() : FDefaultLangName(QStringLiteral("English")) {}

TLng::~TLng() = default;

int TLng::AddLang(const QString& LangName, const QString& FileName) {
  if (!QFileInfo::exists(FileName))
    throw ESealwiseError(QStringLiteral("Translation file \"%1\" doesn't exists.").arg(FileName));
  if (FLangs.contains(LangName, Qt::CaseInsensitive))
    throw ESealwiseError(QStringLiteral("Language %1 already exists.").arg(LangName));
  // Loaded before registering, so a file that cannot be read leaves no half-added language.
  FTransl.push_back(LoadTranslations(FileName));
  FLangs.append(LangName);
  return static_cast<int>(FLangs.size()) - 1;
}

int TLng::Count() const { return static_cast<int>(FLangs.size()); }

QString TLng::LangName(int Index) const { return FLangs.value(Index); }

int TLng::FindLang(const QString& LangName) const {
  const QString wanted = LangName.toUpper();
  if (wanted == FDefaultLangName.toUpper()) return -1;
  for (int i = 0; i < Count(); ++i)
    if (FLangs[i].toUpper() == wanted) return i;
  return -1;
}

void TLng::SetLang(QObject* Sender, int Index) {
  FCurrentLang = Index >= 0 && Index < Count() ? Index : -1;
  if (Sender) Translate(Sender);
}

void TLng::SetLang(QObject* Sender, const QString& LangName) {
  SetLang(Sender, FindLang(LangName));
}

QString TLng::Translate(const QString& Text) const {
  if (Text.isEmpty() || FCurrentLang < 0) return Text;
  const QString translated = FTransl[static_cast<size_t>(FCurrentLang)].value(Text);
  return translated.isEmpty() ? Text : translated;
}

void TLng::Translate(QObject* Sender) {
  if (!Sender || FExcluded.contains(ControlKey(Sender, kTextKey))) return;
  if (!IsToolkitInternal(Sender)) TranslateTextProperty(Sender);
  for (QObject* child : Sender->children()) Translate(child);
}

void TLng::TranslateTextProperty(QObject* AObj) {
  const QMetaProperty property = TextProperty(AObj);
  if (!property.isValid()) return;
  const QString key = ControlKey(AObj, kTextKey);
  QString source;
  if (TObjText* recorded = FindSource(key, AObj)) {
    recorded->Obj = AObj;
    source = recorded->Value;
  } else {
    source = property.read(AObj).toString();
    // An unnamed control shares its key with a named parent, so it never records a text.
    if (!AObj->objectName().isEmpty()) {
      FDefTransl.push_back(std::make_unique<TObjText>(AObj, key, source));
      FDefTranslIndex.insert(key, FDefTransl.back().get());
    }
  }
  property.write(AObj, FCurrentLang < 0 ? source : Translate(source));
}

TObjText* TLng::FindSource(const QString& AKey, const QObject* AObj) const {
  if (AObj->objectName().isEmpty()) return nullptr;
  TObjText* orphan = nullptr;
  for (auto it = FDefTranslIndex.constFind(AKey); it != FDefTranslIndex.cend() && it.key() == AKey;
       ++it) {
    if ((*it)->Obj.data() == AObj) return *it;
    if ((*it)->Obj.isNull()) orphan = *it;
  }
  return orphan;
}

QString TLng::TranslateToOryg(const QObject* aComponent, const QString& PropInfo,
                              const QString& Text) const {
  if (!aComponent) return Text;
  const TObjText* recorded = FindSource(ControlKey(aComponent, PropInfo), aComponent);
  return recorded ? recorded->Value : Text;
}

void TLng::ExcludeFromTranslation(const QObject* Component) {
  if (Component) FExcluded.insert(ControlKey(Component, kTextKey));
}

bool TLng::IsExcludedFromTranslation(const QObject* Component) const {
  return Component && FExcluded.contains(ControlKey(Component, kTextKey));
}

QString TLng::ControlKey(const QObject* AObj, const QString& AProperty) {
  const QObject* window = TopOfTree(AObj);
  const QObject* named = NearestNamed(AObj);
  if (!named || named == window) return window->objectName() + u'|' + AProperty;
  return window->objectName() + u'|' + named->objectName() + u'|' + AProperty;
}

int TLang::AddLang(const QString& LangName, const QString& FileName) {
  return Lng ? Lng->AddLang(LangName, FileName) : -1;
}

int TLang::Count() { return Lng ? Lng->Count() : -1; }

QString TLang::LangName(int Index) { return Lng ? Lng->LangName(Index) : QString(); }

void TLang::SetLang(QObject* Sender, const QString& LangName) {
  if (Lng) Lng->SetLang(Sender, LangName);
}

void TLang::SetLang(QObject* Sender, int Index) {
  if (Lng) Lng->SetLang(Sender, Index);
}

void TLang::SetLang(const QString& LangName) { SetLang(nullptr, LangName); }

void TLang::SetLang(int Index) { SetLang(nullptr, Index); }

QString TLang::Translate(const QString& Text) { return TranslateText(Text); }

void TLang::Translate(QObject* Sender) {
  if (Lng) Lng->Translate(Sender);
}

void TLang::ExcludeFromTranslation(const QObject* Component) {
  if (Lng) Lng->ExcludeFromTranslation(Component);
}

QString TLang::DefaultLangName() { return Lng ? Lng->DefaultLangName() : QString(); }

void TLang::SetDefaultLangName(const QString& Value) {
  if (Lng) Lng->SetDefaultLangName(Value);
}

QString TranslateText(const QString& Text) { return Lng ? Lng->Translate(Text) : Text; }
