#include "Vek.ComPort.h"

#include <QMutex>
#include <QMutexLocker>
#include <algorithm>
#include <stdexcept>

TComPortDevice::TComPortDevice(const QString& AName) : FName(AName) {}

void TComPortDevice::SetBaudrate(qint32 Value) {
  if (Value == FBaudrate) return;
  FBaudrate = Value;
  if (!GetActive()) return;
  Close();
  Open();
}

void TComPortDevice::SetActive(bool Value) {
  if (Value == GetActive()) return;
  if (Value) {
    Open();
  } else {
    Close();
  }
}

void TComPortDevice::RaiseComPortRead(const QByteArray& Data) {
  if (FOnComPortRead) FOnComPortRead(FName, Data);
}

void TComPortDevice::RaiseTxBufferEmpty() {
  if (FOnTxBufferEmpty) FOnTxBufferEmpty(this);
}

void TComPortDevice::RaiseDisconnected() {
  if (FOnDisconnected) FOnDisconnected(FName);
}

namespace {

struct TExtraPorts {
  QMutex Lock;
  QStringList Paths;
};

TExtraPorts& ExtraPortRegistry() {
  static TExtraPorts registry;
  return registry;
}

}  // namespace

TComPortDevices::~TComPortDevices() { Clear(); }

int TComPortDevices::AddDevice(const QString& AName) {
  FItems.push_back(CreateDevice(AName));
  TComPortDevice& port = *FItems.back();
  port.SetOnComPortRead([this](const QString& name, const QByteArray& data) {
    const int index = IndexOfExactName(name);
    if (index >= 0 && FOnReaded) FOnReaded(index, data);
  });
  port.SetOnTxBufferEmpty([this](TComPortDevice* sender) {
    const int index = IndexOfExactName(sender->Name());
    if (index >= 0 && FOnTxBufferEmpty) FOnTxBufferEmpty(index);
  });
  port.SetOnDisconnected([this](const QString& name) {
    const int index = IndexOfExactName(name);
    if (index >= 0 && FOnDisconnected) FOnDisconnected(index, name);
  });
  port.SetBaudrate(DefaultBaudrate);
  return Count() - 1;
}

void TComPortDevices::Refresh() {
  Clear();
  for (const QString& name : SelectPortNames(SystemPorts(), FFtdiOnly, ExtraPorts())) {
    AddDevice(name);
  }
}

TComPortDevice* TComPortDevices::GetItemByIndex(int Index) const {
  if (Index < 0 || Index >= Count()) {
    throw std::out_of_range("Serial port index out of range");
  }
  return FItems[size_t(Index)].get();
}

TComPortDevice* TComPortDevices::ItemByName(const QString& AName) const {
  const QString wanted = AName.toLower();
  for (const auto& port : FItems) {
    if (port->Name().toLower() == wanted) return port.get();
  }
  return nullptr;
}

void TComPortDevices::AddExtraPort(const QString& APath) {
  TExtraPorts& registry = ExtraPortRegistry();
  QMutexLocker locker(&registry.Lock);
  if (!registry.Paths.contains(APath)) registry.Paths.append(APath);
}

void TComPortDevices::RemoveExtraPort(const QString& APath) {
  TExtraPorts& registry = ExtraPortRegistry();
  QMutexLocker locker(&registry.Lock);
  registry.Paths.removeAll(APath);
}

QStringList TComPortDevices::ExtraPorts() {
  TExtraPorts& registry = ExtraPortRegistry();
  QMutexLocker locker(&registry.Lock);
  return registry.Paths;
}

QStringList TComPortDevices::SelectPortNames(const QList<TSystemPort>& APorts, bool AFtdiOnly,
                                             const QStringList& AExtraPorts) {
  QStringList names;
  for (const TSystemPort& port : APorts) {
    if (!AFtdiOnly || port.IsFTDI) names.append(port.Name);
  }
  names.append(AExtraPorts);
  names.removeAll(QString());
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

int TComPortDevices::IndexOfExactName(const QString& AName) const {
  for (size_t i = 0; i < FItems.size(); ++i) {
    if (FItems[i]->Name() == AName) return int(i);
  }
  return -1;
}

void TComPortDevices::Clear() {
  // Freed ports close themselves; with the list already empty their close is not forwarded.
  std::vector<std::unique_ptr<TComPortDevice>> freed;
  freed.swap(FItems);
}
