#include "uPageReports.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "Vek.BusyIndicator.h"
#include "Vek.Controls.h"
#include "Vek.DateEdit.h"
#include "Vek.Panel.h"
#include "uStyles.h"

Q_DECLARE_METATYPE(TReportRow)

namespace {

constexpr int RowRole = Qt::UserRole + 1;
constexpr int BusySize = 48;
constexpr int TextMargin = 6;
constexpr int SmallNamePoints = 9;
const QColor EditBackground = QColor(0x2A, 0x2A, 0x2A);

TReportRow RowOf(const QModelIndex& AIndex) { return AIndex.data(RowRole).value<TReportRow>(); }

// Draws a row: the badge or alert symbol on the left, the user or alert name in bold from
// TextLeft, the time on the right; a damaged record in red and struck through.
class TReportRowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& AOption, const QModelIndex&) const override {
    return {AOption.rect.width(), TReportsPage::RowHeight};
  }

  void paint(QPainter* APainter, const QStyleOptionViewItem& AOption,
             const QModelIndex& AIndex) const override {
    const TReportRow row = RowOf(AIndex);
    const QRect rect = AOption.rect;
    APainter->save();
    APainter->setPen(TStyles::PanelBorder);
    APainter->drawLine(rect.bottomLeft(), rect.bottomRight());
    if (row.Icon) DrawIcon(APainter, rect, *row.Icon);

    QFont dateFont = TStyles::Font(10);
    dateFont.setStrikeOut(!row.CrcOk);
    const QFontMetrics dateMetrics(dateFont);
    const QString date = row.DateTime.value_or(QString());
    const int dateWidth = dateMetrics.horizontalAdvance(date);
    const QRect dateRect(rect.right() - TextMargin - dateWidth, rect.top(), dateWidth,
                         rect.height());
    APainter->setFont(dateFont);
    APainter->setPen(
        TStyles::FromArgb(row.CrcOk ? TReportsPage::DateTimeColor : TReportsPage::DamagedColor));
    APainter->drawText(dateRect, Qt::AlignRight | Qt::AlignVCenter, date);

    QFont nameFont = TStyles::Font(12, true);
    nameFont.setStrikeOut(!row.CrcOk);
    const QRect nameRect(rect.left() + TReportsPage::TextLeft, rect.top(),
                         dateRect.left() - TextMargin - rect.left() - TReportsPage::TextLeft,
                         rect.height());
    APainter->setPen(row.CrcOk ? QColor(Qt::white) : TStyles::FromArgb(TReportsPage::DamagedColor));
    DrawName(APainter, nameRect, nameFont, row.UserName.value_or(QString()));
    APainter->restore();
  }

 private:
  // A name too long for the row (most alert names) goes on two smaller lines before it is cut.
  static void DrawName(QPainter* APainter, const QRect& ARect, QFont AFont, const QString& AName) {
    int flags = Qt::AlignLeft | Qt::AlignVCenter;
    QString shown = AName;
    if (QFontMetrics(AFont).horizontalAdvance(AName) > ARect.width()) {
      AFont.setPointSize(SmallNamePoints);
      const QFontMetrics small(AFont);
      const QRect wrapped = small.boundingRect(ARect, flags | Qt::TextWordWrap, AName);
      if (wrapped.width() <= ARect.width() && wrapped.height() <= ARect.height())
        flags |= Qt::TextWordWrap;
      else
        shown = small.elidedText(AName, Qt::ElideRight, ARect.width());
    }
    APainter->setFont(AFont);
    APainter->drawText(ARect, flags, shown);
  }

  static void DrawIcon(QPainter* APainter, const QRect& ARect, int AIndex) {
    const QSize size(TReportsPage::IconWidth, TReportsPage::IconHeight);
    const qreal ratio = APainter->device()->devicePixelRatioF();
    QPixmap icon = IconBitmap(TIconList::Sealwise, AIndex, size * ratio);
    if (icon.isNull()) return;
    icon.setDevicePixelRatio(ratio);
    const QSizeF shown = icon.deviceIndependentSize();
    const QPointF origin(ARect.left() + (size.width() - shown.width()) / 2 + 2,
                         ARect.top() + (ARect.height() - shown.height()) / 2);
    APainter->drawPixmap(origin, icon);
  }
};

// Pull to refresh: a drag that starts with the list at its top and goes down far enough, or
// the wheel turned up while the list is at its top.
class TPullGesture : public QObject {
 public:
  TPullGesture(QListWidget* AList, TReportsPage* APage)
      : QObject(APage), FList(AList), FPage(APage) {
    AList->viewport()->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* AEvent) override {
    switch (AEvent->type()) {
      case QEvent::MouseButtonPress:
        FPressY = AtTop() ? static_cast<QMouseEvent*>(AEvent)->position().y() : -1;
        break;
      case QEvent::MouseButtonRelease: {
        const qreal y = static_cast<QMouseEvent*>(AEvent)->position().y();
        if (FPressY >= 0 && y - FPressY >= TReportsPage::PullDistance) emit FPage->Pulled();
        FPressY = -1;
        break;
      }
      case QEvent::Wheel:
        if (AtTop() && static_cast<QWheelEvent*>(AEvent)->angleDelta().y() > 0)
          emit FPage->Pulled();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  bool AtTop() const {
    const QScrollBar* bar = FList->verticalScrollBar();
    return bar->value() == bar->minimum();
  }

  QListWidget* FList;
  TReportsPage* FPage;
  qreal FPressY = -1;
};

QLabel* FilterCaption(const QString& AName, const QString& AText, QWidget* AParent) {
  QLabel* label = TStyles::MakeLabel(AName, AText, AParent);
  label->setWordWrap(false);
  return label;
}

}  // namespace

TReportsPage::TReportsPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("tabReport"));
  TStyles::FillBackground(this, TStyles::Background);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(4, 4, 4, 4);
  column->setSpacing(4);
  column->addWidget(MakeReportsPanel(), 1);
  column->addWidget(MakeJobPanel());
}

QWidget* TReportsPage::MakeReportsPanel() {
  TPanelSpec panel = StemPanel(QStringLiteral("Reports"), QStringLiteral("Reports"),
                               QStringLiteral("List of results and filter results."));
  panel.SecondButton = QStringLiteral("btnReportsFilter");
  panel.SecondPage = QStringLiteral("tabReportsFilter");
  panel.SecondImage = TIcon::PanelFilter;
  FReportsPanel = new TPanel(panel, this);

  FList = new QListWidget(FReportsPanel->MainPage());
  FList->setObjectName(QStringLiteral("lvReports"));
  FList->setSelectionMode(QAbstractItemView::NoSelection);
  FList->setFocusPolicy(Qt::NoFocus);
  FList->setFrameShape(QFrame::NoFrame);
  FList->setUniformItemSizes(true);
  FList->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  FList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  FList->setItemDelegate(new TReportRowDelegate(FList));
  new TPullGesture(FList, this);

  FBusy = new TBusyIndicator(QStringLiteral("aniReports"), FReportsPanel->MainPage());
  FBusy->setFixedSize(BusySize, BusySize);
  SetBusy(false);
  auto* grid = new QGridLayout(FReportsPanel->MainPage());
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(FList, 0, 0);
  grid->addWidget(FBusy, 0, 0, Qt::AlignCenter);

  MakeFilterPage(FReportsPanel->SecondPage());
  FReportsPanel->Pages()->OnChange = [this] {
    if (FReportsPanel->Pages()->ActivePage() == FReportsPanel->SecondPage()) emit FilterPageShown();
  };
  return FReportsPanel;
}

void TReportsPage::MakeFilterPage(QWidget* APage) {
  auto* list = new QWidget(APage);
  list->setObjectName(QStringLiteral("lstReportsFilter"));
  // The edits stand out from the panel.
  QPalette palette = list->palette();
  palette.setColor(QPalette::Base, EditBackground);
  list->setPalette(palette);
  auto* grid = new QGridLayout(list);
  grid->setContentsMargins(8, 6, 8, 6);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(6);
  QLabel* heading = FilterCaption(QStringLiteral("litmReportFilterHeader"),
                                  QStringLiteral("Report Filters:"), list);
  heading->setFont(TStyles::Font(13, true));
  grid->addWidget(heading, 0, 0, 1, 2);

  FUserName = new QComboBox(list);
  FUserName->setObjectName(QStringLiteral("edtReportFilterUserName"));
  FUserName->setEditable(true);
  FUserName->setInsertPolicy(QComboBox::NoInsert);
  FUserName->setCompleter(nullptr);  // a completion would turn "ann" into the first Anna
  FDateFrom = new TDateEdit(QStringLiteral("edtReportFilterDateFrom"), list);
  FDateTo = new TDateEdit(QStringLiteral("edtReportFilterDateTo"), list);
  const struct {
    const char* Name;
    const char* Caption;
    QWidget* Edit;
  } rows[] = {{"litmReportFilterUserName", "User Name", FUserName},
              {"litmReportFilterDateFrom", "Date From", FDateFrom},
              {"litmReportFilterDateTo", "Date To", FDateTo}};
  int line = 1;
  for (const auto& row : rows) {
    grid->addWidget(FilterCaption(QLatin1String(row.Name), QLatin1String(row.Caption), list), line,
                    0);
    grid->addWidget(row.Edit, line++, 1);
  }

  FClearFilter = new QPushButton(QStringLiteral("Clear Filter"), list);
  FClearFilter->setObjectName(QStringLiteral("btnReportFilterClear"));
  FApplyFilter = new QPushButton(QStringLiteral("Apply Filter"), list);
  FApplyFilter->setObjectName(QStringLiteral("btnReportFilterOk"));
  auto* buttons = new QHBoxLayout();
  buttons->setSpacing(8);
  buttons->addWidget(FClearFilter, 1);
  buttons->addWidget(FApplyFilter, 1);
  grid->addLayout(buttons, line, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(line + 1, 1);
  connect(FClearFilter, &QPushButton::clicked, this, &TReportsPage::ClearFilter);
  connect(FApplyFilter, &QPushButton::clicked, this, &TReportsPage::ApplyFilterClicked);

  auto* column = new QVBoxLayout(APage);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(list);
}

QWidget* TReportsPage::MakeJobPanel() {
  FJobPanel = new TPanel(
      StemPanel(QStringLiteral("ReportsJob"), QStringLiteral("Reports"),
                QStringLiteral("Send reports.")), this);
  // Of the action images only saving is offered.
  FSave = new TGlyph(QStringLiteral("imgReportsJobSave"), FJobPanel->MainPage());
  FSave->SetImage(TIconList::Icons, TIcon::IconSave);
  FSave->setFixedSize(40, 40);
  FSave->setCursor(Qt::PointingHandCursor);
  connect(FSave, &TGlyph::Clicked, this, &TReportsPage::SaveClicked);
  auto* row = new QHBoxLayout(FJobPanel->MainPage());
  row->setContentsMargins(8, 4, 8, 4);
  row->addWidget(FSave);
  row->addStretch(1);
  FJobPanel->setFixedHeight(TPanel::HeaderHeight + 2 + 48);
  return FJobPanel;
}

void TReportsPage::SetRows(const TReportRows& ARows) {
  FList->setUpdatesEnabled(false);
  FList->clear();
  for (const TReportRow& row : ARows) {
    auto* item = new QListWidgetItem(FList);
    item->setData(RowRole, QVariant::fromValue(row));
  }
  FList->setUpdatesEnabled(true);
}

TReportRows TReportsPage::Rows() const {
  TReportRows rows;
  for (int i = 0; i < FList->count(); ++i)
    rows.push_back(FList->item(i)->data(RowRole).value<TReportRow>());
  return rows;
}

void TReportsPage::ClearRows() { FList->clear(); }

void TReportsPage::SetBusy(bool ABusy) {
  FBusy->setEnabled(ABusy);
  FBusy->setVisible(ABusy);
  if (ABusy)
    FBusy->Start();
  else
    FBusy->Stop();
}

TReportFilter TReportsPage::Filter() const {
  return TReportFilter::Create(FUserName->currentText(), !FDateFrom->IsEmpty(), !FDateTo->IsEmpty(),
                               FDateFrom->Value(), FDateTo->Value());
}

void TReportsPage::ClearFilter() {
  FUserName->setCurrentIndex(-1);
  FUserName->clearEditText();
  FDateFrom->Clear();
  FDateTo->Clear();
}

void TReportsPage::SetFilterUsers(const QStringList& AUsers) {
  const QString typed = FUserName->currentText();
  FUserName->clear();
  FUserName->addItems(AUsers);
  FUserName->setCurrentIndex(-1);
  FUserName->setEditText(typed);
}

void TReportsPage::SetUSDateOrder(bool AUSDateOrder) {
  FDateFrom->SetUSDateOrder(AUSDateOrder);
  FDateTo->SetUSDateOrder(AUSDateOrder);
}
