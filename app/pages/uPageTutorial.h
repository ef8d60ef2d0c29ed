#pragma once
#include <QString>
#include <QWidget>
#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QToolButton;
class TGlyph;
class TPageControl;

// The tutorial page tabTutorial: up to eight full-page pictures shown one at a time with back,
// next and close buttons. The pictures come from files in the application folder; a missing
// file shows a white page.
class TTutorialPage : public QWidget {
  Q_OBJECT
 public:
  static constexpr int PageCount = 8;
  static constexpr int FullFacePages = 6;
  static constexpr int HalfMaskPages = 5;

  explicit TTutorialPage(QWidget* parent);

  // AFullFace: the "offm_st%d.png" set of six pictures, else the "inm_st%d.png" set of five.
  void LoadTutorialImages(const QString& AFolder, bool AFullFace);
  int TutorialTabsCount() const { return FTutorialTabsCount; }
  // The file looked up for picture AIndex (from 1); empty beyond the pages in use.
  QString PictureFile(int AIndex) const;
  // The entry step: back to the first picture, buttons updated.
  void ShowFirstPage();
  // The "Do not show next time" label and switch are hidden whenever the tutorial opens.
  void HideDoNotShow();

  TPageControl* Pages() const { return FPages; }
  TGlyph* Picture(int AIndex) const;
  QToolButton* BackButton() const { return FBack; }
  QToolButton* NextButton() const { return FNext; }
  QToolButton* CloseButton() const { return FClose; }
  QAction* CloseAction() const { return FActClose; }

  // The close action: the window decides where to go.
  std::function<void()> OnClose;

 private:
  QWidget* MakeToolBar();
  void UpdateButtons();
  void MoveBy(int ASteps);

  TPageControl* FPages = nullptr;
  std::array<TGlyph*, PageCount> FPictures{};
  std::array<QString, PageCount> FPictureFiles{};
  QWidget* FTopRow = nullptr;
  QLabel* FDoNotShow = nullptr;
  QCheckBox* FSwitch = nullptr;
  QToolButton* FBack = nullptr;
  QToolButton* FNext = nullptr;
  QToolButton* FClose = nullptr;
  QAction* FActPrevious = nullptr;
  QAction* FActNext = nullptr;
  QAction* FActClose = nullptr;
  int FTutorialTabsCount = FullFacePages;
};
