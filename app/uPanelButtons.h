#pragma once
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QAbstractButton;
class QTimer;
class QWidget;
class TPageControl;

// The panel buttons of the working pages. Each button opens one page of its panel's inner page
// control; a second tap, or for info pages 3 s without one, goes back to the panel's content.
// Buttons are found by name in the window, so a panel takes part as soon as it exists.
class TPanelButtons : public QObject {
  Q_OBJECT
 public:
  struct TEntry {
    int Tag;
    const char* Button;
    const char* PageControl;
    const char* Page;
    bool Returns;  // back to the content after ReturnMs
  };
  static const TEntry Entries[];
  static constexpr int ReturnMs = 3000;

  explicit TPanelButtons(QObject* parent);
  ~TPanelButtons() override;

  // Gives every button of the table that exists under AWindow its tag and the common handler.
  void Attach(QWidget* AWindow);
  // The handler of every panel button, by tag.
  void ButtonClicked(int ATag);
  // Tests shorten the return delay.
  void SetReturnDelay(int AMs) { FReturnMs = AMs; }

  static constexpr const char* TagProperty = "Tag";

 private:
  void StopReturn(TPageControl* APages);
  static TPageControl* FindPages(const QWidget* AWindow, const TEntry& AEntry);

  QPointer<QWidget> FWindow;
  QHash<TPageControl*, QTimer*> FReturnTimers;  // one pending return per page control
  int FReturnMs = ReturnMs;
};
