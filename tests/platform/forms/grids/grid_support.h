#pragma once
// Shared by the grid tests: a grid that records the calls of its extension points and serves
// cell texts from a map, on a shown form.

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/forms/grids.h"
#include "tests/platform/forms/controltest.h"

namespace FormsTest {

class TTestGrid : public TCustomGrid {
  KORCAM_CLASS(TTestGrid, TCustomGrid)

 public:
  explicit TTestGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

  // Cells SelectCell refuses, and every cell it was asked about.
  std::set<std::pair<int32_t, int32_t>> Refused;
  std::vector<std::pair<int32_t, int32_t>> Asked;
  int TopLeftChanges = 0;
  int RowHeightChanges = 0;
  int ColWidthChanges = 0;
  std::vector<std::pair<int32_t, int32_t>> ColumnMoves;
  // Cell texts for the editor; every text pushed back, in order.
  std::map<std::pair<int32_t, int32_t>, std::string> Texts;
  std::vector<std::string> Pushed;
  std::map<std::pair<int32_t, int32_t>, std::string> Masks;
  int Pulls = 0;
  bool AllowModify = true;
  int ModifyAsked = 0;
  // Every cell DrawCell was called for, with its state, during the last paints.
  std::vector<std::pair<TGridCoord, TGridDrawState>> Drawn;

  std::string GetEditText(int32_t ACol, int32_t ARow) override {
    ++Pulls;
    return Texts[{ACol, ARow}];
  }
  void SetEditText(int32_t ACol, int32_t ARow, const std::string& Value) override {
    Pushed.push_back(Value);
    Texts[{ACol, ARow}] = Value;
  }
  std::string GetEditMask(int32_t ACol, int32_t ARow) override {
    auto It = Masks.find({ACol, ARow});
    return It == Masks.end() ? std::string() : It->second;
  }
  bool CanEditModify() override {
    ++ModifyAsked;
    return AllowModify;
  }
  using TCustomGrid::FGridState;
  using TCustomGrid::Sizing;

 protected:
  bool SelectCell(int32_t ACol, int32_t ARow) override {
    Asked.emplace_back(ACol, ARow);
    return !Refused.count({ACol, ARow});
  }
  void TopLeftChanged() override {
    ++TopLeftChanges;
    TCustomGrid::TopLeftChanged();
  }
  void RowHeightsChanged() override {
    ++RowHeightChanges;
    TCustomGrid::RowHeightsChanged();
  }
  void ColWidthsChanged() override {
    ++ColWidthChanges;
    TCustomGrid::ColWidthsChanged();
  }
  void ColumnMoved(int32_t FromIndex, int32_t ToIndex) override {
    ColumnMoves.emplace_back(FromIndex, ToIndex);
    TCustomGrid::ColumnMoved(FromIndex, ToIndex);
  }
  void DrawCell(int32_t ACol, int32_t ARow, const RECT& ARect, TGridDrawState AState) override {
    Drawn.push_back({TGridCoord{ACol, ARow}, AState});
    TCustomGrid::DrawCell(ACol, ARow, ARect, AState);
  }
};

// A form with one grid: 5 x 5 cells of 64 x 24 with one fixed row and column, no border and no
// scroll bars, so the client area is exactly the grid's size.
class TGridTest : public TFormsTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Resizes the grid's client area.
  void SetClient(int Width, int Height);
  POINT Screen(int X, int Y);

  TForm* Form = nullptr;
  TTestGrid* Grid = nullptr;
};

}  // namespace FormsTest
