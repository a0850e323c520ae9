#include "platform/forms/internet/httpserver.h"

KORCAM_REGISTER_CLASS(THTTPServer)

THTTPServer::THTTPServer(TComponent* AOwner) : TComponent(AOwner) {}

THTTPServer::~THTTPServer() = default;
