#pragma once
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QObject;

// The recorded source (English) text of one control property.
class TObjText {
 public:
  TObjText(QObject* AObj, QString AKey, QString AValue);
  QPointer<QObject> Obj;  // not owned
  QString Key;
  QString Value;
};

// The translation engine. Languages come from ".lng" files (one `source :=translation` entry
// a line); single texts are translated on request, and a whole window is translated in place
// over its Qt object tree, remembering each control's source text so the window can switch
// between languages and back.
//
// Controls are QObjects: a control's key is "<window>|<control>|Text", where the window is the
// top of the control's object tree and an unnamed control takes the name of its nearest named
// parent (the window itself has the key "<window>|Text"). The translated property is the Qt
// property "text" when it is a readable and writable string. Qt's own internal children
// (object names beginning with "qt_", such as a spin box's line edit) keep their texts but are
// descended into, since they hold the controls of scroll areas and tab widgets. Controls that
// show data rather than fixed text must be excluded.
class TLng {
 public:
  TLng();
  ~TLng();
  TLng(const TLng&) = delete;
  TLng& operator=(const TLng&) = delete;

  // Raises ESealwiseError when the file is missing or unreadable or the name (compared without
  // regard to case) is already registered.
  int AddLang(const QString& LangName, const QString& FileName);
  int Count() const;
  QString LangName(int Index) const;  // empty outside 0..Count-1
  int CurrentLang() const { return FCurrentLang; }

  // An index outside 0..Count-1 means the source texts; so does the default language's name
  // or a name that is not registered. A given Sender is translated at once.
  void SetLang(QObject* Sender, int Index);
  void SetLang(QObject* Sender, const QString& LangName);

  QString Translate(const QString& Text) const;
  void Translate(QObject* Sender);
  // The recorded source text of aComponent's property PropInfo ("Text"), else Text.
  QString TranslateToOryg(const QObject* aComponent, const QString& PropInfo,
                          const QString& Text) const;
  // aComponent and everything below it keep their texts from now on.
  void ExcludeFromTranslation(const QObject* Component);
  bool IsExcludedFromTranslation(const QObject* Component) const;

  QString DefaultLangName() const { return FDefaultLangName; }
  void SetDefaultLangName(const QString& Value) { FDefaultLangName = Value; }

  static QString ControlKey(const QObject* AObj, const QString& AProperty);

 private:
  int FindLang(const QString& LangName) const;
  void TranslateTextProperty(QObject* AObj);
  // The source recorded for AObj under AKey. Qt does not force unique object names, so two
  // live controls may share a key and each keeps its own record; a record whose control is
  // gone serves the next control with its key (a window created anew).
  TObjText* FindSource(const QString& AKey, const QObject* AObj) const;

  QStringList FLangs;
  std::vector<std::unique_ptr<TObjText>> FDefTransl;
  QMultiHash<QString, TObjText*> FDefTranslIndex;  // key -> entries of FDefTransl
  QSet<QString> FExcluded;
  std::vector<QHash<QString, QString>> FTransl;
  qint32 FCurrentLang = -1;
  QString FDefaultLangName;
};

// The one engine of the program, created before any window. Unset: texts stay as they are.
extern std::unique_ptr<TLng> Lng;

// Class-level access to the engine that does nothing (or returns a neutral value) when
// there is none.
class TLang {
 public:
  static int AddLang(const QString& LangName, const QString& FileName);  // -1 without engine
  static int Count();                                                    // -1 without engine
  static QString LangName(int Index);
  static void SetLang(QObject* Sender, const QString& LangName);
  static void SetLang(QObject* Sender, int Index);
  // Change the language without translating a window.
  static void SetLang(const QString& LangName);
  static void SetLang(int Index);
  static QString Translate(const QString& Text);
  static void Translate(QObject* Sender);
  static void ExcludeFromTranslation(const QObject* Component);
  static QString DefaultLangName();
  static void SetDefaultLangName(const QString& Value);
};

// Every user-visible text passes through here just before it is shown; the English text is
// the key.
QString TranslateText(const QString& Text);
