#include "platform/forms/internet/clients.h"

KORCAM_REGISTER_CLASS(TTCPClient)
KORCAM_REGISTER_CLASS(TFTPClient)
KORCAM_REGISTER_CLASS(TSMTPClient)
KORCAM_REGISTER_CLASS(TPOP3Client)

TTCPClient::TTCPClient(TComponent* AOwner) : TComponent(AOwner) {}

TTCPClient::~TTCPClient() = default;

void TTCPClient::Connect() {
  FConnected = true;
}

void TTCPClient::Disconnect() {
  FConnected = false;
}

TFTPClient::TFTPClient(TComponent* AOwner) : TTCPClient(AOwner) {
  FPort = 21;
}

void TFTPClient::Abort() {}

void TFTPClient::Quit() {
  Disconnect();
}

TSMTPClient::TSMTPClient(TComponent* AOwner) : TTCPClient(AOwner) {
  FPort = 25;
}

TPOP3Client::TPOP3Client(TComponent* AOwner) : TTCPClient(AOwner) {
  FPort = 110;
}
