#pragma once
#include <QFrame>
#include <QLineEdit>
#include <QList>
#include <QString>

class QHBoxLayout;
class QLabel;
class QVBoxLayout;

// One entry of a settings list: a caption and, for some, a control on the right. An entry's tag
// says what a click on it does; headings and spacers are not clicked.
class TSettingsEntry : public QFrame {
  Q_OBJECT
 public:
  enum TKind { ekItem, ekHeading, ekSpacer };

  TSettingsEntry(const QString& AName, TKind AKind, const QString& ACaption, int ATag,
                 QWidget* parent);

  int Tag() const { return FTag; }
  TKind Kind() const { return FKind; }
  QLabel* Caption() const { return FCaption; }
  // Puts a control behind the caption (the stretch as for a box layout).
  void AddControl(QWidget* AControl, int AStretch = 0);
  bool IsSelected() const { return FSelected; }
  void SetSelected(bool ASelected);

 signals:
  void Clicked(TSettingsEntry* AEntry);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  TKind FKind;
  int FTag;
  bool FSelected = false;
  QLabel* FCaption = nullptr;
  QHBoxLayout* FRow = nullptr;
};

// A list of settings entries, one above the other at EntryHeight each; a hidden entry takes
// no room. A click selects the entry and reports its tag.
class TSettingsList : public QWidget {
  Q_OBJECT
 public:
  static constexpr int EntryHeight = 33;

  TSettingsList(const QString& AName, QWidget* parent);

  TSettingsEntry* AddItem(const QString& AName, const QString& ACaption, int ATag = 0);
  TSettingsEntry* AddHeading(const QString& AName, const QString& ACaption);
  TSettingsEntry* AddSpacer(const QString& AName);

  const QList<TSettingsEntry*>& Entries() const { return FEntries; }
  TSettingsEntry* Selected() const;
  void ClearSelection();

 signals:
  void EntryClicked(int ATag);

 private:
  TSettingsEntry* Add(const QString& AName, TSettingsEntry::TKind AKind, const QString& ACaption,
                      int ATag);

  QVBoxLayout* FColumn = nullptr;
  QList<TSettingsEntry*> FEntries;
};

// An edit box that reports each time the user leaves it: by moving the focus elsewhere or by
// Enter, whether the text changed or not. The focus going to another window (a message box)
// is not leaving. Its control tag is the "Tag" property.
class TExitEdit : public QLineEdit {
  Q_OBJECT
 public:
  TExitEdit(const QString& AName, int ATag, QWidget* parent);
  int Tag() const;

 signals:
  void Exited(TExitEdit* AEdit);

 protected:
  void focusOutEvent(QFocusEvent* event) override;
};
