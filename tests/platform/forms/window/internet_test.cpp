// The network components of the data module read from its form text with their settings and
// handlers, switched on and off by the program, and never opening a socket.

#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include "platform/classes/formreader.h"
#include "platform/forms/datamodule.h"
#include "platform/forms/internet/antifreeze.h"
#include "platform/forms/internet/clients.h"
#include "platform/forms/internet/httpserver.h"
#include "platform/forms/internet/mailmessage.h"

namespace {

class TNetModule : public TDataModule {
  KORCAM_CLASS(TNetModule, TDataModule)

 public:
  explicit TNetModule(TComponent* AOwner) : TDataModule(AOwner, 0) {}
  PUBLISHED_FIELD(THTTPServer, HTTPServer)
  PUBLISHED_FIELD(TFTPClient, IdFTP1)
  PUBLISHED_FIELD(TSMTPClient, SMTP1)
  PUBLISHED_FIELD(TPOP3Client, POP31)
  PUBLISHED_FIELD(TMailMessage, MailMessage1)
  PUBLISHED_FIELD(TAntiFreeze, AntiFreeze1)
  PUBLISHED_METHOD(HTTPServerCommandGet, TPeerThread* AThread, THTTPRequestInfo* ARequestInfo,
                   THTTPResponseInfo* AResponseInfo)
  PUBLISHED_METHOD(HTTPServerConnect, TPeerThread* AThread)
  PUBLISHED_METHOD(HTTPServerDisconnect, TPeerThread* AThread)
  PUBLISHED_METHOD(IdFTP1WorkBegin, TObject* Sender, TWorkMode AWorkMode, int64_t AWorkCountMax)
  PUBLISHED_METHOD(IdFTP1WorkEnd, TObject* Sender, TWorkMode AWorkMode)
  bool Transferring = false;
};

KORCAM_REGISTER_CLASS(TNetModule)

void TNetModule::HTTPServerCommandGet(TPeerThread*, THTTPRequestInfo*, THTTPResponseInfo*) {}
void TNetModule::HTTPServerConnect(TPeerThread*) {}
void TNetModule::HTTPServerDisconnect(TPeerThread*) {}
void TNetModule::IdFTP1WorkBegin(TObject*, TWorkMode, int64_t) { Transferring = true; }
void TNetModule::IdFTP1WorkEnd(TObject*, TWorkMode) { Transferring = false; }

const char* const ModuleText = R"(object DataModule1: TNetModule
  object HTTPServer: THTTPServer
    DefaultPort = 8080
    OnCommandGet = HTTPServerCommandGet
    OnConnect = HTTPServerConnect
    OnDisconnect = HTTPServerDisconnect
  end
  object IdFTP1: TFTPClient
    Host = 'ftp.example.org'
    Username = 'webcam'
    Passive = True
    OnWorkBegin = IdFTP1WorkBegin
    OnWorkEnd = IdFTP1WorkEnd
  end
  object SMTP1: TSMTPClient
    AuthenticationType = atLogin
  end
  object POP31: TPOP3Client
  end
  object MailMessage1: TMailMessage
    Subject = 'Motion detected'
    Body.Strings = (
      'Look at the picture.')
  end
  object AntiFreeze1: TAntiFreeze
  end
end
)";

// The sockets the process holds now.
int SocketCount() {
  int Count = 0;
  DIR* Folder = opendir("/proc/self/fd");
  if (!Folder) return -1;
  while (dirent* Entry = readdir(Folder)) {
    char Target[256] = {};
    const std::string Link = std::string("/proc/self/fd/") + Entry->d_name;
    const ssize_t Length = readlink(Link.c_str(), Target, sizeof(Target) - 1);
    if (Length > 0 && std::string(Target, size_t(Length)).rfind("socket:", 0) == 0) ++Count;
  }
  closedir(Folder);
  return Count;
}

TEST(NetworkComponents, ReadFromTheModuleTextAndNeverOpenASocket) {
  const int SocketsBefore = SocketCount();
  TNetModule Module(nullptr);
  ReadComponentText(&Module, ModuleText);
  ASSERT_NE(Module.HTTPServer, nullptr);
  EXPECT_EQ(Module.HTTPServer->DefaultPort(), 8080);
  EXPECT_TRUE(Module.HTTPServer->OnCommandGet.Assigned());
  EXPECT_EQ(Module.IdFTP1->Port(), 21);
  EXPECT_EQ(Module.IdFTP1->Host(), "ftp.example.org");
  EXPECT_TRUE(Module.IdFTP1->Passive());
  EXPECT_EQ(Module.SMTP1->Port(), 25);
  EXPECT_EQ(Module.SMTP1->AuthenticationType(), atLogin);
  EXPECT_EQ(Module.POP31->Port(), 110);
  EXPECT_EQ(Module.MailMessage1->Body()->Count(), 1);
  EXPECT_TRUE(Module.AntiFreeze1->Active());
  // What the program does with them: switch them on and, at a real close, off again.
  Module.HTTPServer->SetActive(true);
  Module.IdFTP1->Connect();
  EXPECT_TRUE(Module.HTTPServer->Active());
  EXPECT_TRUE(Module.IdFTP1->Connected());
  EXPECT_EQ(SocketCount(), SocketsBefore);
  Module.IdFTP1->OnWorkBegin(Module.IdFTP1, wmWrite, 1000);
  EXPECT_TRUE(Module.Transferring);
  Module.IdFTP1->Abort();
  Module.IdFTP1->OnWorkEnd(Module.IdFTP1, wmWrite);
  Module.IdFTP1->Quit();
  Module.HTTPServer->SetActive(false);
  Module.AntiFreeze1->SetActive(false);
  EXPECT_FALSE(Module.IdFTP1->Connected());
  EXPECT_FALSE(Module.Transferring);
  EXPECT_EQ(SocketCount(), SocketsBefore);
}

}  // namespace
