// TvcText: drawing. A paint aligns the caption's area, makes the turned font, and draws the
// caption's copies bottom first: the extruded body, the shadow, then the outline or the raised
// and lowered copies, and the caption itself on top.
//
// Text block layout: plain lines go to DrawTextEx one by one, each stepping across the turned
// baseline by its own height plus LineSpacing. Fully justified text is broken into lines here,
// word by word, and every line but a paragraph's last is stretched to the block's width by
// spreading the spare pixels over its blanks.

#include <algorithm>
#include <cmath>

#include "platform/gdi/gdi.h"
#include "platform/gdi/text.h"
#include "vcontrols/common/vccommon.h"
#include "platform/rtl/scopeexit.h"
#include "vcontrols/text/vctext.h"

namespace {

RECT Moved(RECT R, int32_t DX, int32_t DY) {
  OffsetRect(&R, DX, DY);
  return R;
}

// The composed colour of three channels of which only the low eight bits count.
TColor ChannelsToColor(int32_t Red, int32_t Green, int32_t Blue) {
  return TColor((Red & 0xFF) | (Green & 0xFF) << 8 | (Blue & 0xFF) << 16);
}

int32_t CountBlanks(const std::string& Line) {
  return int32_t(std::count(Line.begin(), Line.end(), ' '));
}

}  // namespace

void TvcText::Draw() {
  if (!FDoubleBuffered) {
    // Alignment, then the style's paint.
    if (FRotation % 360 == 0) {
      SetFlag(FAlignment == taCenter, FFlags, DT_CENTER);
      SetFlag(FAlignment == taRightJustify, FFlags, DT_RIGHT);
      RECT Measured{};
      if (FAlignment == taLeftJustify) {
        CalcRect(false, Measured);
        FTextRect.right = FTextRect.left + RectWidth(Measured);
      } else if (FAlignment == taRightJustify) {
        CalcRect(false, Measured);
        FTextRect.left = FTextRect.right - RectWidth(Measured);
      }
      if (FVAlignment == vaTop) {
        CalcRect(false, Measured);
        FTextRect.bottom = FTextRect.top + RectHeight(Measured);
      } else if (FVAlignment == vaBottom) {
        CalcRect(false, Measured);
        FTextRect.top = FTextRect.bottom - RectHeight(Measured);
      }
    } else {
      // A turned caption is always centred by its draw rectangle.
      FFlags &= ~(DT_CENTER | DT_RIGHT);
    }
    switch (FStyle) {
      case vclsLowered:
        PaintRaisedLowered(false);
        break;
      case vclsRaised:
        PaintRaisedLowered(true);
        break;
      case vclsOutline:
        PaintOutline();
        break;
      default:
        PaintDefault();
        break;
    }
    return;
  }
  // Off screen: the canvas's clip area is copied into a bitmap, drawn on there, and copied back
  // in one piece.
  TCanvas* Target = FCanvas;
  const RECT Clip = Target->ClipRect();
  FBufferBitmap = std::make_unique<TBitmap>();
  FBufferBitmap->SetPixelFormat(pf24bit);
  FBufferBitmap->SetSize(Max(1, Clip.right), Max(1, Clip.bottom));
  FBufferBitmap->Canvas()->CopyRect(Clip, Target, Clip);
  FBufferCanvas = FBufferBitmap->Canvas();
  TScopeExit Free([this] {
    FDrawingToBuffer = false;
    ReleaseFont();
    FBufferCanvas = nullptr;
    FBufferBitmap.reset();
  });
  FDrawingToBuffer = true;
  FDoubleBuffered = false;
  TScopeExit Restore([this] { FDoubleBuffered = true; });
  Draw();
  FDrawingToBuffer = false;
  Target->CopyRect(Clip, FBufferCanvas, Clip);
}

void TvcText::PaintDefault() {
  if (!IsEnabled()) {
    PaintRaisedLowered(false);
    return;
  }
  TScopeExit Release([this] { ReleaseFont(); });
  PrepareFont();
  DrawExtrude();
  DrawShadow(FDrawRect);
  SetFontColor(FFont ? FFont->Color() : clBlack);
  DrawTextBlock(FDrawRect);
}

void TvcText::PaintOutline() {
  TScopeExit Release([this] { ReleaseFont(); });
  PrepareFont();
  DrawExtrude();
  DrawShadow(FDrawRect);
  DrawOutlineCopies();
}

void TvcText::PaintRaisedLowered(bool Raised) {
  TScopeExit Release([this] { ReleaseFont(); });
  PrepareFont();
  TCanvas* Target = GetCanvas();
  Target->Lock();
  TScopeExit Unlock([Target] { Target->Unlock(); });
  DrawExtrude();
  DrawShadow(FDrawRect);
  DrawRaisedLoweredCopies(Raised);
}

void TvcText::DrawExtrude() {
  if (!FExtrudeEffects->Enabled()) return;
  const TColor Near = ColorToRGB(FExtrudeEffects->NearColor());
  const TColor Far = ColorToRGB(FExtrudeEffects->FarColor());
  const int32_t NearChannel[3] = {Near & 0xFF, Near >> 8 & 0xFF, Near >> 16 & 0xFF};
  const int32_t FarChannel[3] = {Far & 0xFF, Far >> 8 & 0xFF, Far >> 16 & 0xFF};
  const POINT Step = vcOrientationVectors[FExtrudeEffects->Orientation()];
  const POINT Extent = FExtrudeEffects->Extent(true);
  const int32_t A = Extent.x / 2, B = Extent.y / 2;
  // Start on the far side, so the copies end under the caption.
  OffsetRect(&FDrawRect, A, B);
  OffsetRect(&FDrawRect, -Step.x * A, -Step.y * B);
  const int32_t Depth = FExtrudeEffects->Depth();
  for (int32_t Index = 1; Index <= Depth; ++Index) {
    OffsetRect(&FDrawRect, Step.x, Step.y);
    int32_t Channel[3];
    for (int Part = 0; Part < 3; ++Part) {
      const int32_t Difference = NearChannel[Part] - FarChannel[Part];
      if (FExtrudeEffects->Striated()) {
        Channel[Part] = (Difference / Depth + FarChannel[Part]) * Index;
        if (Index % 2 == 0) Channel[Part] /= 4;
      } else {
        Channel[Part] = Rnd(Difference / (static_cast<long double>(Depth) / Index) + FarChannel[Part]);
      }
    }
    SetFontColor(ChannelsToColor(Channel[0], Channel[1], Channel[2]));
    DrawTextBlock(FDrawRect);
  }
}

void TvcText::DrawShadow(const RECT& R) {
  if (!FShadow->Enabled()) return;
  SetFontColor(IsEnabled() ? FShadow->Color() : FDisabledColors->ShadeColor());
  DrawTextBlock(Moved(R, FShadow->XOffset(), FShadow->YOffset()));
}

void TvcText::DrawOutlineCopies() {
  const bool Enabled = IsEnabled();
  for (const POINT& Step : vcOrientationVectors) {
    SetFontColor(Enabled ? FOutlineColor : FDisabledColors->ShadeColor());
    DrawTextBlock(Moved(FDrawRect, Step.x, Step.y));
  }
  SetFontColor(Enabled ? (FFont ? FFont->Color() : clBlack) : FDisabledColors->HighlightColor());
  DrawTextBlock(FDrawRect);
}

void TvcText::DrawRaisedLoweredCopies(bool Raised) {
  const bool Enabled = IsEnabled();
  const TColor Highlight = Enabled ? FHighlightColor : FDisabledColors->HighlightColor();
  const TColor Shade = Enabled ? FShadeColor : FDisabledColors->ShadeColor();
  if (Enabled) {
    const TColor Upper = Raised ? Highlight : Shade;
    if (Upper != clNone) {
      SetFontColor(Upper);
      DrawTextBlock(Moved(FDrawRect, -1, -1));
    }
  }
  const TColor Lower = Raised ? Shade : Highlight;
  if (Lower != clNone) {
    SetFontColor(Lower);
    DrawTextBlock(Moved(FDrawRect, 1, 1));
  }
  SetFontColor(Enabled ? (FFont ? FFont->Color() : clBlack) : FDisabledColors->ShadeColor());
  DrawTextBlock(FDrawRect);
}

void TvcText::DrawEmbossed() {
  const POINT Step = vcOrientationVectors[FExtrudeEffects->Orientation()];
  SetFontColor(FHighlightColor);
  DrawTextBlock(Moved(FDrawRect, -Step.x, -Step.y));
  SetFontColor(FFont ? FFont->Color() : clBlack);
  DrawTextBlock(FDrawRect);
}

// --- the text block -----------------------------------------------------------------------------

void TvcText::DrawTextBlock(RECT R) {
  // A font that measures no height (empty, or not measurable on this canvas) still steps one
  // pixel a line, so the line count below stays finite.
  const int32_t LineHeight = Max(1, MeasureHeight("AgTpjW", Max(5, RectWidth(R))));
  const int32_t MaxLines = RectHeight(R) / LineHeight + 1;
  const int Previous = SetBkMode(TextDC(), TRANSPARENT);
  TScopeExit Restore([this, Previous] { SetBkMode(TextDC(), Previous); });
  if (FWordWrap && FOptions.Contains(toFullJustify))
    DrawJustifiedLines(R, LineHeight, MaxLines);
  else
    DrawPlainLines(R, LineHeight);
}

void TvcText::DrawPlainLines(const RECT& R, int32_t) {
  const long double Angle = RotationRadians();
  const long double Sin = std::sin(Angle), Cos = std::cos(Angle);
  RECT Line = R;
  const int32_t Count = FText.empty() ? 0 : CountTokens(FText, "\r\n");
  for (int32_t Index = 0; Index < Count; ++Index) {
    const std::string Text = GetToken(FText, "\r\n", Index);
    RECT Box = Line;
    DrawTextExA(TextDC(), Text.c_str(), int(Text.size()), &Box, FFlags, nullptr);
    const int32_t Advance = MeasureHeight(Text, RectWidth(R)) + FLineSpacing;
    OffsetRect(&Line, Rnd(Sin * Advance), Rnd(Cos * Advance));
  }
}

void TvcText::DrawJustifiedLines(RECT R, int32_t LineHeight, int32_t MaxLines) {
  const long double Angle = RotationRadians();
  const long double Sin = std::sin(Angle), Cos = std::cos(Angle);
  const int32_t Width = RectWidth(R);
  const std::string Separator = FText.find("\n\n") != std::string::npos ? "\n\n" : "\r\n";
  const int32_t Paragraphs = FText.empty() ? 0 : CountTokens(FText, Separator);
  for (int32_t Paragraph = 0; Paragraph < Paragraphs; ++Paragraph) {
    const std::string Text = GetToken(FText, Separator, Paragraph);
    int32_t Position = 1;
    for (int32_t Lines = 0; Lines < MaxLines + 2; ++Lines) {
      int32_t Before = Position;
      std::string Token = GetNextToken(Text, Position, 0, "");
      if (Token.empty()) {
        OffsetRect(&R, Rnd(Sin * LineHeight), Rnd(Cos * LineHeight));
        break;
      }
      // Words are taken while the line still fits; a one-letter word swallowed the blank after
      // it, so it takes one back. A first word wider than the block is dropped, and its line
      // stays empty.
      std::string Line;
      bool Last = false;
      if (TextWidth(Token) >= Width) {
        const int32_t Peek = Position;
        Last = GetNextToken(Text, Position, 0, "").empty();
        Position = Peek;
      } else {
        while (true) {
          Line += Token;
          if (Token.size() == 1 && Token != " ") Line += ' ';
          Before = Position;
          Token = GetNextToken(Text, Position, 0, "");
          if (Token.empty()) {
            Last = true;
            break;
          }
          if (TextWidth(Line) + TextWidth(Token) >= Width) {
            // Read again for the next line.
            Position = Before;
            break;
          }
        }
      }
      TrimBlanks(Line);
      const int32_t Blanks = CountBlanks(Line);
      HDC DC = TextDC();
      if (!Last && Blanks > 0) SetTextJustification(DC, Width - TextWidth(Line), Blanks);
      TextOutA(DC, R.left, R.top, Line.c_str(), int(Line.size()));
      SetTextJustification(DC, 0, 0);
      OffsetRect(&R, Rnd(Sin * LineHeight), Rnd(Cos * LineHeight));
      if (Last) {
        OffsetRect(&R, Rnd(Sin * FLineSpacing), Rnd(Cos * FLineSpacing));
        break;
      }
    }
  }
}
