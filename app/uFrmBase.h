#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>

class QTimer;
class TLicensePage;
class TPageControl;
class TTutorialPage;

// The base window: the fixed portrait frame, the main page control tcMain with the first-start
// pages (the agreement and the tutorial), and the after-show step.
class TfrmBase : public QWidget {
  Q_OBJECT
 public:
  static constexpr int ClientWidth = 309;
  static constexpr int ClientHeight = 548;
  static constexpr int AfterShowDelayMs = 200;

  explicit TfrmBase(QWidget* parent = nullptr);

  TPageControl* tcMain() const { return FMain; }
  TLicensePage* LicensePage() const { return FLicense; }
  TTutorialPage* TutorialPage() const { return FTutorial; }
  QWidget* tabLicense() const;
  QWidget* tabTutorial() const;

  // Called once, AfterShowDelayMs after the window was shown.
  std::function<void()> OnAfterShow;
  int TutorialTabsCount() const;

  void DisplayTutorial();
  // Shows the agreement and reads its text from AFileName in the background.
  void DisplayLicense(const QString& AFileName);

 protected:
  void showEvent(QShowEvent* event) override;
  // The window's own steps when it is shown (after the base window's).
  virtual void FormShow() {}
  // The base window's step when a page of tcMain is entered.
  void BaseTabChanged();

 private:
  TPageControl* FMain = nullptr;
  TLicensePage* FLicense = nullptr;
  TTutorialPage* FTutorial = nullptr;
  QPointer<QTimer> FtmrOnAfterShow;
};
