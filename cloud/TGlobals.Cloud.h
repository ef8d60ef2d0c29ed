#pragma once
#include <QString>

#include "TGlobals.Codecs.h"

// The cloud part of TGlobals: the date text of cloud records, the installation identifier,
// the server base address and the check that an address belongs to a KX52xx cloud server.
namespace TGlobals {

// "yyyy-MM-dd hh:mm:ss" of the wall-clock fields.
QString FormatCloudDate(const TDateTime& ADateTime);
// A new random GUID as 32 upper-case hexadecimal digits, no braces or hyphens.
QString GeneratePhoneID();
// The stored installation identifier; generated and stored on first use.
QString GetPhoneID();
// Empty when the default address is chosen, else the configured address without one trailing
// "/"; UseInsecureAddress turns the first "https://" into "http://".
QString GetCloudBaseAddress(bool UseInsecureAddress);
// The text as the inside of a JSON string (quotes, backslashes and control characters
// escaped), for the records and bodies sent to the cloud.
QString JsonEscaped(const QString& AText);
// GETs AAddress + "/info" and accepts it when it names a KX52xx cloud server of version 1.
// Blocks the caller for at most the request time-out while keeping its event loop running.
bool IsKX52ServerCorrect(const QString& AAddress);

}  // namespace TGlobals
