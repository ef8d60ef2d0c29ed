#pragma once
#include <QPointer>
#include <QStackedWidget>
#include <functional>

class QParallelAnimationGroup;

enum class TTabTransition { None, Slide };

// A page control whose tabs are never shown: pages change by code only. A change of the active
// page raises OnChange at once; the slide is purely visual (the old page is kept visible while
// both pages move), so code that follows a change already sees the new page as active.
class TPageControl : public QStackedWidget {
  Q_OBJECT
 public:
  explicit TPageControl(QWidget* parent = nullptr);

  // Adds an empty page (a plain widget named AName) and returns it.
  QWidget* AddPage(const QString& AName);
  // Adds a page built elsewhere (the page's class names it).
  template <class TPage>
  TPage* AddPage(TPage* APage) {
    addWidget(APage);
    return APage;
  }
  QWidget* ActivePage() const { return currentWidget(); }
  // Moves to ATab; AForward picks the direction of the slide.
  void SetActivePage(QWidget* ATab, TTabTransition ATransition, bool AForward = true);
  bool HasPage(const QWidget* ATab) const;

  // Raised after every change of the active page (and by SwitchTab on a repeat).
  std::function<void()> OnChange;
  void RaiseChange();

  // Tests and screenshots switch the slide off so pages settle at once.
  static void SetAnimationsEnabled(bool AEnabled);
  static bool AnimationsEnabled();
  static constexpr int SlideDurationMs = 200;

 private:
  void Slide(QWidget* APrevious, QWidget* ANext, bool AForward);
  void FinishSlide();

  QPointer<QParallelAnimationGroup> FSlide;
  QPointer<QWidget> FSlidingOut;
};
