#include "tests/platform/backends/x11/demorender.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/classes/resources.h"
#include "platform/forms/application.h"
#include "platform/rtl/clock.h"
#include "platform/user/user.h"
#include "tests/sourcepath.h"

namespace X11Test {

namespace {

void RegisterDemoResource() {
  static std::string Text;
  if (!Text.empty()) return;
  std::ifstream In(SourcePath("tests/fixtures/forms/demo.form"), std::ios::binary);
  std::stringstream Buffer;
  Buffer << In.rdbuf();
  Text = Buffer.str();
  RegisterResourceData("forms/demoform.form",
                       std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Text.data()), Text.size()));
}

TScreenImage ClientPart(const TScreenImage& Window, POINT Offset, int Width, int Height) {
  TScreenImage Part{Width, Height, std::vector<uint32_t>(size_t(Width) * size_t(Height))};
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X)
      Part.Pixels[size_t(Y) * size_t(Width) + size_t(X)] = Window.At(X + Offset.x, Y + Offset.y);
  return Part;
}

}  // namespace

TDemoFormHolder MakeDemoForm() {
  RegisterDemoResource();
  return TDemoFormHolder(NewForm<TDemoForm>(nullptr));
}

TEdit* DemoEdit(TForm* Form) { return dynamic_cast<TEdit*>(Form->FindComponent("Edit1")); }

TDemoRender RenderDemoHeadless() {
  TScopedManualClock Clock;
  THeadlessBackend Backend{1024, 768};
  BYTE KeyState[256] = {};
  SetKeyboardState(KeyState);
  SetCursorPos(1023, 767);
  TDemoRender Result;
  TDemoFormHolder Form = MakeDemoForm();
  Form->Show();
  Application->ProcessMessages();
  POINT Origin = Form->ClientOrigin();
  Backend.Click(VK_LBUTTON, Origin.x + DemoClickAt.x, Origin.y + DemoClickAt.y);
  for (const TDemoKey& Key : DemoKeys) {
    if (Key.Shift)
      Backend.Chord({VK_SHIFT}, Key.VirtualKey);
    else
      Backend.KeyPress(Key.VirtualKey);
  }
  Application->ProcessMessages();
  RECT Outer{};
  GetWindowRect(Form->Handle(), &Outer);
  Result.Client = ClientPart(Backend.CaptureWindow(Form->Handle()), POINT{Origin.x - Outer.left, Origin.y - Outer.top},
                             Form->ClientWidth(), Form->ClientHeight());
  Result.Text = DemoEdit(Form.get())->Text();
  Form.reset();
  Application->ProcessMessages();
  return Result;
}

std::string PictureFolder() {
  const char* Folder = std::getenv("KORCAM_TEST_IMAGES");
  std::filesystem::path Path = Folder ? Folder : "/tmp/korcam-x11";
  std::filesystem::create_directories(Path);
  return Path.string();
}

}  // namespace X11Test
