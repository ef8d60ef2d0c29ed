#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// Serial port layer, platform-neutral half: one object per port and the list of the computer's
// ports with their events and bookkeeping. The platform half (Vek.Qt.ComPort) enumerates,
// opens, configures, reads and writes.

enum TPortStatus { psDisconnected, psConnecting, psConnected };

class TComPortDevice {
 public:
  using TOnComPortRead = std::function<void(const QString& AName, const QByteArray& Data)>;
  using TOnTxBufferEmpty = std::function<void(TComPortDevice* Sender)>;
  using TOnPortDisconnected = std::function<void(const QString& AName)>;

  explicit TComPortDevice(const QString& AName);
  // A platform port closes itself in its own destructor (Close is virtual).
  virtual ~TComPortDevice() = default;
  TComPortDevice(const TComPortDevice&) = delete;
  TComPortDevice& operator=(const TComPortDevice&) = delete;

  const QString& Name() const { return FName; }
  TPortStatus status() const { return FStatus; }

  qint32 Baudrate() const { return FBaudrate; }
  // A new rate on an open port takes effect by closing and opening it again.
  void SetBaudrate(qint32 Value);

  bool Active() const { return GetActive(); }
  // Opens or closes; nothing when the port already is in the asked state.
  void SetActive(bool Value);

  virtual bool GetActive() const = 0;
  // Raises ESealwiseError "Can't open port <name>" when the port does not open.
  virtual void Open() = 0;
  // Raises OnDisconnected when the port was open.
  virtual void Close() = 0;
  virtual void ApplySettings() = 0;
  // Writes the block; nothing when the port is closed or Data is empty. May be called from any
  // thread; returns when the block has been written (or the port closed meanwhile).
  virtual void Send(const QByteArray& Data) = 0;

  void SetOnComPortRead(TOnComPortRead handler) { FOnComPortRead = std::move(handler); }
  TOnComPortRead OnComPortRead() const { return FOnComPortRead; }
  void SetOnTxBufferEmpty(TOnTxBufferEmpty handler) { FOnTxBufferEmpty = std::move(handler); }
  TOnTxBufferEmpty OnTxBufferEmpty() const { return FOnTxBufferEmpty; }
  void SetOnDisconnected(TOnPortDisconnected handler) { FOnDisconnected = std::move(handler); }
  TOnPortDisconnected OnDisconnected() const { return FOnDisconnected; }

 protected:
  void SetStatus(TPortStatus Value) { FStatus = Value; }
  void RaiseComPortRead(const QByteArray& Data);
  void RaiseTxBufferEmpty();
  void RaiseDisconnected();

 private:
  QString FName;
  TPortStatus FStatus = psDisconnected;
  qint32 FBaudrate = 0;
  TOnComPortRead FOnComPortRead;
  TOnTxBufferEmpty FOnTxBufferEmpty;
  TOnPortDisconnected FOnDisconnected;
};

// One port as the system reports it, before filtering.
struct TSystemPort {
  QString Name;
  bool IsFTDI = false;
};

class TComPortDevices {
 public:
  using TOnReaded = std::function<void(int Index, const QByteArray& Data)>;
  using TOnTxBufferEmpty = std::function<void(int Index)>;
  using TOnDisconnected = std::function<void(int Index, const QString& AName)>;

  static constexpr qint32 DefaultBaudrate = 115200;

  // The list of the running platform; implemented by the platform half.
  static std::unique_ptr<TComPortDevices> CreateNew();

  virtual ~TComPortDevices();
  TComPortDevices(const TComPortDevices&) = delete;
  TComPortDevices& operator=(const TComPortDevices&) = delete;

  // Creates a port of the platform's class at the default rate; returns its index.
  int AddDevice(const QString& AName);
  // Rebuilds the list from the system's ports and the extra ports; frees all earlier ports.
  void Refresh();

  int Count() const { return int(FItems.size()); }
  // Raises std::out_of_range for an index outside the list.
  TComPortDevice* GetItemByIndex(int Index) const;
  // The first port of that name without regard to case; nullptr when there is none.
  TComPortDevice* ItemByName(const QString& AName) const;

  bool ShowFTDIDevicesOnly() const { return FFtdiOnly; }
  void SetShowFTDIDevicesOnly(bool Value) { FFtdiOnly = Value; }

  void SetOnReaded(TOnReaded handler) { FOnReaded = std::move(handler); }
  void SetOnTxBufferEmpty(TOnTxBufferEmpty handler) { FOnTxBufferEmpty = std::move(handler); }
  void SetOnDisconnected(TOnDisconnected handler) { FOnDisconnected = std::move(handler); }

  // Process-wide paths listed as FTDI ports by every list (a pseudo-terminal or a socat link
  // standing in for the cable, given on the command line).
  static void AddExtraPort(const QString& APath);
  static void RemoveExtraPort(const QString& APath);
  static QStringList ExtraPorts();

  // The names a refresh lists: the system's ports (only the FTDI ones when AFtdiOnly), plus the
  // extra ports, each name once, ordered by name so the listing is stable.
  static QStringList SelectPortNames(const QList<TSystemPort>& APorts, bool AFtdiOnly,
                                     const QStringList& AExtraPorts);

 protected:
  TComPortDevices() = default;
  virtual std::unique_ptr<TComPortDevice> CreateDevice(const QString& AName) = 0;
  virtual QList<TSystemPort> SystemPorts() const = 0;

 private:
  // Port events reach the list's events only for a port found by its exact name.
  int IndexOfExactName(const QString& AName) const;
  void Clear();

  std::vector<std::unique_ptr<TComPortDevice>> FItems;
  bool FFtdiOnly = false;
  TOnReaded FOnReaded;
  TOnTxBufferEmpty FOnTxBufferEmpty;
  TOnDisconnected FOnDisconnected;
};
