#pragma once
// The network clients of the data module (FTP, SMTP, POP3). This edition of the program keeps
// their settings and switches them off at a real close, and runs nothing behind them: they hold
// their published state, Connect and Disconnect only change Connected, and no socket is ever
// opened.

#include <string>

#include "platform/classes/component.h"
#include "platform/classes/events.h"

KORCAM_ENUM(TWorkMode, wmRead, wmWrite)
KORCAM_ENUM(TAuthenticationType, atNone, atLogin)

// A transfer's start (with the number of bytes it expects) and its end.
using TWorkBeginEvent = TEvent<TObject*, TWorkMode, int64_t>;
using TWorkEndEvent = TEvent<TObject*, TWorkMode>;

class TTCPClient : public TComponent {
  KORCAM_CLASS(TTCPClient, TComponent)

 public:
  explicit TTCPClient(TComponent* AOwner);
  ~TTCPClient() override;

  PLAIN_PROPERTY(std::string, Host, "")
  PLAIN_PROPERTY(int32_t, Port, 0)
  PLAIN_PROPERTY(std::string, Username, "")
  PLAIN_PROPERTY(std::string, Password, "")
  EVENT(TWorkBeginEvent, OnWorkBegin)
  EVENT(TWorkEndEvent, OnWorkEnd)

 public:
  bool Connected() const { return FConnected; }
  virtual void Connect();
  virtual void Disconnect();

 protected:
  bool FConnected = false;
};

class TFTPClient : public TTCPClient {
  KORCAM_CLASS(TFTPClient, TTCPClient)

 public:
  explicit TFTPClient(TComponent* AOwner);
  PLAIN_PROPERTY(bool, Passive, false)

 public:
  // Stops a transfer in progress (there never is one).
  void Abort();
  // Says goodbye to the server and disconnects.
  void Quit();
};

class TSMTPClient : public TTCPClient {
  KORCAM_CLASS(TSMTPClient, TTCPClient)

 public:
  explicit TSMTPClient(TComponent* AOwner);
  PLAIN_PROPERTY(TAuthenticationType, AuthenticationType, atNone)
};

class TPOP3Client : public TTCPClient {
  KORCAM_CLASS(TPOP3Client, TTCPClient)

 public:
  explicit TPOP3Client(TComponent* AOwner);
};
