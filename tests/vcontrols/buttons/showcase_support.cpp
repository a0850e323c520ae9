#include "tests/vcontrols/buttons/showcase.h"

#include <fstream>
#include <sstream>

#include "platform/classes/formreader.h"
#include "platform/classes/resources.h"
#include "platform/forms/application.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/clock.h"
#include "platform/user/user.h"
#include "tests/sourcepath.h"

KORCAM_REGISTER_CLASS(TVcShowcaseForm)

void TVcShowcaseForm::ButtonClick(TObject* Sender) {
  if (auto* Component = dynamic_cast<TComponent*>(Sender)) Clicks.push_back(Component->Name());
}

void TVcShowcaseForm::ButtonSelChange(TObject* Sender) {
  if (auto* Component = dynamic_cast<TComponent*>(Sender)) SelectionChanges.push_back(Component->Name());
}

void TVcShowcaseForm::LabelClick(TObject* Sender) {
  if (auto* Component = dynamic_cast<TComponent*>(Sender)) Clicks.push_back(Component->Name());
}

namespace {

void RegisterShowcaseResource() {
  static std::string Text;
  if (!Text.empty()) return;
  std::ifstream In(SourcePath("tests/fixtures/forms/vcshowcase.form"), std::ios::binary);
  std::stringstream Buffer;
  Buffer << In.rdbuf();
  Text = Buffer.str();
  RegisterResourceData("forms/vcshowcaseform.form",
                       std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Text.data()), Text.size()));
}

// A picture of Width x Height on Background, with Draw painting on its canvas.
template <class TDraw>
void Paint(TvcBitmap* Picture, int Width, int Height, TColor Background, TDraw Draw) {
  Picture->CreateDib(Width, Height);
  TCanvas* Canvas = Picture->Canvas();
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Background);
  Canvas->FillRect(RECT{0, 0, Width, Height});
  Draw(Canvas);
}

}  // namespace

TVcShowcaseHolder MakeShowcaseForm() {
  RegisterShowcaseResource();
  TVcShowcaseHolder Form(NewForm<TVcShowcaseForm>(nullptr));
  // The expand arrow: a dark triangle on white, white being transparent.
  TvcBitmap Arrow;
  Paint(&Arrow, 13, 9, clWhite, [](TCanvas* Canvas) {
    Canvas->Brush()->SetColor(TColor(0x804000));
    Canvas->Pen()->SetColor(TColor(0x804000));
    Canvas->Polygon({POINT{0, 0}, POINT{12, 0}, POINT{6, 8}});
  });
  Form->Find<TvcImageBtn>("ImageArrow")->SetImage(&Arrow);
  // A gem: a disk on a fuchsia key (the top-left pixel), bevelled along its outline.
  TvcBitmap Gem;
  Paint(&Gem, 48, 48, clFuchsia, [](TCanvas* Canvas) {
    Canvas->Brush()->SetColor(TColor(0xC08040));
    Canvas->Pen()->SetColor(TColor(0xC08040));
    Canvas->Ellipse(4, 4, 44, 44);
    Canvas->Brush()->SetColor(TColor(0xF0C080));
    Canvas->Pen()->SetColor(TColor(0xF0C080));
    Canvas->Ellipse(14, 12, 26, 22);
  });
  Form->Find<TvcImageBtn>("ImageGem")->SetImage(&Gem);
  Form->Find<TvcImageBtn>("ImageTinted")->SetImage(&Gem);
  TvcBitmap Diamond;
  Paint(&Diamond, 48, 48, clWhite, [](TCanvas* Canvas) {
    Canvas->Brush()->SetColor(TColor(0x2080E0));
    Canvas->Pen()->SetColor(TColor(0x104080));
    Canvas->Polygon({POINT{24, 2}, POINT{46, 24}, POINT{24, 46}, POINT{2, 24}});
  });
  Form->Find<TvcImageBtn>("ImageRaised")->SetImage(&Diamond);
  // The hide / restore strip: two pictures, a dark and a light bar with an arrow, each with its
  // key colour in the corners.
  TvcBitmap StripUp, StripDown;
  Paint(&StripUp, 6, 77, clFuchsia, [](TCanvas* Canvas) {
    Canvas->Brush()->SetColor(TColor(0x606060));
    Canvas->FillRect(RECT{0, 1, 6, 76});
    Canvas->Brush()->SetColor(clWhite);
    Canvas->Pen()->SetColor(clWhite);
    Canvas->Polygon({POINT{1, 34}, POINT{4, 38}, POINT{1, 42}});
  });
  Paint(&StripDown, 6, 77, clFuchsia, [](TCanvas* Canvas) {
    Canvas->Brush()->SetColor(TColor(0xC0C0C0));
    Canvas->FillRect(RECT{0, 1, 6, 76});
    Canvas->Brush()->SetColor(clBlack);
    Canvas->Pen()->SetColor(clBlack);
    Canvas->Polygon({POINT{4, 34}, POINT{1, 38}, POINT{4, 42}});
  });
  auto* Strip = Form->Find<TvcImageBtn>("ImageStrip");
  Strip->SetImage(&StripUp);
  Strip->SetImageDown(&StripDown);
  return Form;
}

TVcShowcaseHolder MakeShapeGrid() {
  TVcShowcaseHolder Form(new TVcShowcaseForm(nullptr, 0));
  Form->SetBorderStyle(bsNone);
  Form->SetColor(clWhite);
  const TvcButtonShape Shapes[] = {bsRoundRect, bsEllipse, bsTriangle, bsArrow, bsDiamond,
                                   bsRect,      bsStar,    bsTrapezoid, bsCustom};
  const TvcShapeOrientation Turns[] = {soUp, soRight, soDown, soLeft};
  const int Width = 56, Height = 40, Step = 64;
  Form->SetBounds(0, 0, 8 + Step * 4, 8 + (Height + 8) * int(std::size(Shapes)));
  for (size_t Row = 0; Row < std::size(Shapes); ++Row)
    for (size_t Column = 0; Column < std::size(Turns); ++Column) {
      auto* Button = new TvcShapeBtn(Form.get());
      Button->SetName(std::string("Shape") + std::to_string(Row) + "_" + std::to_string(Column));
      Button->SetParent(Form.get());
      Button->SetBounds(8 + int(Column) * Step, 8 + int(Row) * (Height + 8), Width, Height);
      Button->SetColor(TColor(0xC0E0A0));
      Button->SetShape(Shapes[Row]);
      Button->SetOrientation(Turns[Column]);
      if (Shapes[Row] == bsCustom) {
        TStringList Lines;
        Lines.Add("0, 0");
        Lines.Add("Width, 0");
        Lines.Add("Width / 2, Height / 2");
        Lines.Add("0, Height");
        Button->SetPointList(&Lines);
      }
    }
  return Form;
}

const TShowcaseStep ShowcaseSteps[] = {
    {"click OK", "ButtonOK", {-1, -1}, 0, false},
    {"click the second page", "PageTwo", {-1, -1}, 0, false},
    {"click the star", "ShapeStar", {-1, -1}, 0, false},
    {"click outside the diamond, inside its box", "ShapeDiamond", {3, 3}, 0, false},
    {"Escape: the cancel button", nullptr, {}, VK_ESCAPE, false},
    {"Enter: the focused button", nullptr, {}, VK_RETURN, false},
    {"Alt+L: the lowered label's focus control", nullptr, {}, 'L', true},
    {"Space: the focused button", nullptr, {}, VK_SPACE, false},
    {"click the strip", "ImageStrip", {-1, -1}, 0, false},
};
const size_t ShowcaseStepCount = std::size(ShowcaseSteps);
const std::vector<std::string> ShowcaseClicks = {"ButtonOK", "PageTwo", "ShapeStar", "ButtonCancel",
                                                 "ButtonOK", "ButtonYes", "ImageStrip"};

POINT ShowcaseClickPoint(TVcShowcaseForm* Form, const TShowcaseStep& Step) {
  auto* Control = Form->Find<TControl>(Step.Control);
  if (!Control) return POINT{-1, -1};
  if (Step.At.x == -1) return POINT{Control->Left() + Control->Width() / 2, Control->Top() + Control->Height() / 2};
  return POINT{Control->Left() + Step.At.x, Control->Top() + Step.At.y};
}

namespace {

TScreenImage ClientImage(THeadlessBackend& Backend, TForm* Form) {
  const TScreenImage Window = Backend.CaptureWindow(Form->Handle());
  RECT Outer{};
  GetWindowRect(Form->Handle(), &Outer);
  const POINT Origin = Form->ClientOrigin();
  TScreenImage Part{Form->ClientWidth(), Form->ClientHeight(), {}};
  Part.Pixels.resize(size_t(Part.Width) * size_t(Part.Height));
  for (int Y = 0; Y < Part.Height; ++Y)
    for (int X = 0; X < Part.Width; ++X)
      Part.Pixels[size_t(Y) * size_t(Part.Width) + size_t(X)] =
          Window.At(X + Origin.x - Outer.left, Y + Origin.y - Outer.top);
  return Part;
}

}  // namespace

TShowcaseRun RunShowcaseHeadless() {
  TScopedManualClock Clock;
  THeadlessBackend Backend{1024, 768};
  BYTE Keys[256] = {};
  SetKeyboardState(Keys);
  SetCursorPos(1023, 767);
  TShowcaseRun Run;
  {
    TVcShowcaseHolder Form = MakeShowcaseForm();
    Form->Show();
    Application->ProcessMessages();
    Run.Before = ClientImage(Backend, Form.get());
    const POINT Origin = Form->ClientOrigin();
    for (size_t Index = 0; Index < ShowcaseStepCount; ++Index) {
      const TShowcaseStep& Step = ShowcaseSteps[Index];
      if (Step.Control) {
        const POINT At = ShowcaseClickPoint(Form.get(), Step);
        Backend.Click(VK_LBUTTON, Origin.x + At.x, Origin.y + At.y);
      } else if (Step.Alt) {
        Backend.Chord({VK_MENU}, Step.VirtualKey);
      } else {
        Backend.KeyPress(Step.VirtualKey);
      }
      Application->ProcessMessages();
    }
    // The pointer leaves, so no control shows its hot look.
    Backend.MouseMove(1023, 767);
    Application->ProcessMessages();
    Run.After = ClientImage(Backend, Form.get());
    Run.Clicks = Form->Clicks;
    Run.SelectionChanges = Form->SelectionChanges;
    if (TWinControl* Focused = TWinControl::FindControl(GetFocus())) Run.FocusedName = Focused->Name();
  }
  Application->ProcessMessages();
  SetKeyboardState(Keys);
  return Run;
}
