#pragma once
#include <QString>
#include <exception>
#include <string>

// The one error type of the application: it carries one of the fixed, user-visible messages
// ("Wrong Threshold value", "Can't open port %s", ...). Catch it where a message is shown.
class ESealwiseError : public std::exception {
 public:
  explicit ESealwiseError(QString message)
      : FMessage(std::move(message)), FUtf8(FMessage.toStdString()) {}
  const QString& Message() const noexcept { return FMessage; }
  const char* what() const noexcept override { return FUtf8.c_str(); }

 private:
  QString FMessage;
  std::string FUtf8;
};
