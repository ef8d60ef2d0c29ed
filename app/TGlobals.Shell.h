#pragma once
#include <QString>
#include <QStringList>

#include "Vek.PageControl.h"

class QWidget;
class QMessageBox;

// The window-wide operations every page uses.
namespace TGlobals {

// Shows ATab in the page control that holds it. A page that is already shown runs its page
// control's change handler again (so its entry step repeats). Anything that is not a page of a
// page control is ignored.
void SwitchTab(QWidget* ATab, TTabTransition ATransition = TTabTransition::Slide);

// Shows AMessage (already translated) with an OK button and returns at once; the box closes
// and frees itself when answered.
QMessageBox* MsgWindow(const QString& AMessage);

// The entry of ilBattery for a battery level of the device: 0..4 the empty to full pictures,
// 5 charging, anything else no battery.
int BatteryLevelToImageIndex(int AbatteryLevel);

// Fills the "%s" placeholders of a (translated) text in order with AValues; placeholders
// beyond the values become empty. Inserted values are not searched again.
QString FillPlaceholders(const QString& ATemplate, const QStringList& AValues);

}  // namespace TGlobals
