#pragma once
#include <QString>
#include <functional>

#include "Vek.Panel.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPropertyAnimation;
class TClickLabel;

// The users panel pnlUser of the dashboard: the selected wearer's name (or "CHOOSE USER"), a
// list to pick or add one, and an edit for a new name. The panel grows to half the working
// area while the list is open. The users live in the record store.
class TUsersPanel : public TPanel {
  Q_OBJECT
  Q_PROPERTY(int PanelHeight READ PanelHeight WRITE SetPanelHeight)
 public:
  static constexpr int CollapsedHeight = 70;
  static constexpr int AnimationMs = 200;
  // The most characters a typed name may have.
  static constexpr int MaxNameLength = 10;

  // AWorkingArea: the page control whose half height the open list takes.
  TUsersPanel(QWidget* AWorkingArea, QWidget* parent);

  void ShowUserList(bool AShow);
  void FillUserList();
  void SelectUser(const QString& AName);
  static bool IsNoUserName(const QString& AName);
  // Shows the name label again (tapping the chart or the LED page while adding).
  void ShowUserLabel();
  // The first entry to the working page puts the "CHOOSE USER" text into the edit.
  void PutChooseUserIntoEdit();
  // Texts set by code, in the current language.
  void ApplyLanguage();
  // The name of the selected user; empty when none.
  QString SelectedName() const { return FSelectedName; }

  int PanelHeight() const { return FPanelHeight; }
  void SetPanelHeight(int AHeight);
  bool IsExpanded() const { return FExpanded; }

  TPageControl* Selector() const { return FSelector; }
  TClickLabel* UsersLabel() const { return FUsersLabel; }
  QLineEdit* UserAddEdit() const { return FEdit; }
  QListWidget* UserList() const { return FList; }

  // SetSelectedUser of the window: the record store's id and the device's user name follow.
  std::function<void(const QString& AName)> OnSetSelectedUser;

 private:
  QWidget* MakeSelector();
  void ListTapped(QListWidgetItem* AItem);
  void UserAddExit();
  void SelectorChanged();
  int ExpandedHeight() const;
  void AddListEntry(const QString& AText, const QColor& AColor);
  void ClearEdit();

  QWidget* FWorkingArea;
  int FPanelHeight = CollapsedHeight;  // follows the animation
  bool FExpanded = false;
  TPageControl* FSelector = nullptr;
  QWidget* FSelPage = nullptr;
  QWidget* FSelAddPage = nullptr;
  TClickLabel* FUsersLabel = nullptr;
  QLineEdit* FEdit = nullptr;
  QListWidget* FList = nullptr;
  QPropertyAnimation* FAnimation = nullptr;
  QString FSelectedName;
  bool FEditHoldsChooseUser = false;  // the program's choose-user text, untouched by the user
};

// The text shown while no user is selected, translated.
QString ChooseUserText();
