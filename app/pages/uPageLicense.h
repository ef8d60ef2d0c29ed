#pragma once
#include <QWidget>
#include <functional>
#include <thread>

class QLabel;
class QToolButton;
class TToolBar;

// The agreement page tabLicense: the text of "License.txt" in a scrollable area, and the
// accept and decline buttons. The text is read on a short background thread and handed to the
// GUI thread; a missing file leaves the page empty.
class TLicensePage : public QWidget {
  Q_OBJECT
 public:
  explicit TLicensePage(QWidget* parent);
  ~TLicensePage() override;

  // Starts reading the agreement text from AFileName.
  void LoadText(const QString& AFileName);
  // Re-reading from the settings: no decline button, the accept button in the middle.
  void ShowAcceptOnly();
  // Each button gets half the tool bar's width (less its margins).
  void FitButtons();

  QLabel* LicenseLabel() const { return FLicense; }
  QToolButton* AcceptButton() const { return FAccept; }
  QToolButton* DeclineButton() const { return FDecline; }

  std::function<void()> OnAccept;
  std::function<void()> OnDecline;

  static constexpr int ButtonMargin = 4;

 signals:
  // The text has been put into the label (also when the file was missing: empty).
  void TextLoaded();

 private:
  void SetText(const QStringList& ALines);
  QToolButton* MakeButton(const QString& AName, const QString& AText, int AImage,
                          const QColor& AColor);

  QLabel* FLicense = nullptr;
  TToolBar* FToolBar = nullptr;
  QToolButton* FAccept = nullptr;
  QToolButton* FDecline = nullptr;
  std::thread FLoader;
};
