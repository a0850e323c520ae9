#pragma once
// The picture server of the data module. This edition keeps its settings and switches it off at
// a real close: Active is only a state, no port is ever opened, and its events never come.

#include "platform/classes/component.h"
#include "platform/classes/events.h"

// What the server's events would carry: the connection's thread, the request and the answer.
class TPeerThread;
class THTTPRequestInfo;
class THTTPResponseInfo;

using TPeerThreadEvent = TEvent<TPeerThread*>;
using THTTPCommandEvent = TEvent<TPeerThread*, THTTPRequestInfo*, THTTPResponseInfo*>;

class THTTPServer : public TComponent {
  KORCAM_CLASS(THTTPServer, TComponent)

 public:
  explicit THTTPServer(TComponent* AOwner);
  ~THTTPServer() override;

  PLAIN_PROPERTY(bool, Active, false)
  PLAIN_PROPERTY(int32_t, DefaultPort, 80)
  EVENT(THTTPCommandEvent, OnCommandGet)
  EVENT(TPeerThreadEvent, OnConnect)
  EVENT(TPeerThreadEvent, OnDisconnect)
};
