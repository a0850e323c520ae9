#pragma once
// The shaped button: an image button whose face is a drawn shape instead of a picture -- a
// rounded rectangle, an ellipse, a triangle, an arrow, a diamond, a rectangle, a five-pointed
// star, a trapezoid, or a polygon from a list of coordinate expressions -- turned to point up,
// right, down or left, filled with the button's Color, bevelled in the shade colours (light upper
// and left edges, dark lower and right ones; the reverse while down) and cut out as the window
// region.
//
// The shape is recomputed from the properties on every paint and region build; nothing of it is
// kept but the region of each state, which is built again whenever a shape property or the size
// changes. The region is never stored with the form: a stored region could only go stale.
//
// Geometry: W and H are the last column and row (Width - 1, Height - 1). Shapes are given
// pointing up in the box (0, 0)-(W, H); one quarter turn clockwise maps (x, y) to
// (W - y * W / H, x * H / W), which keeps the shape in the same box.

#include <memory>
#include <vector>

#include "platform/rtl/stringlist.h"
#include "vcontrols/buttons/vcevaluator.h"
#include "vcontrols/buttons/vcimgbtn.h"

KORCAM_ENUM(TvcButtonShape, bsRoundRect, bsEllipse, bsTriangle, bsArrow, bsDiamond, bsRect, bsStar, bsTrapezoid,
            bsCustom)
KORCAM_ENUM(TvcShapeOrientation, soLeft, soRight, soUp, soDown)

// The points of a shape pointing up in the box (0, 0)-(W, H), closed (the first point again at
// the end); empty for the round shapes. Custom shapes are not handled here.
std::vector<POINT> vcShapePoints(TvcButtonShape Shape, int32_t W, int32_t H);
// The star's ten points (not closed).
std::vector<POINT> vcStarPoints(int32_t W, int32_t H);
// The points turned clockwise by quarter turns for Orientation (soUp: none, soRight: one, soDown:
// two, soLeft: three). A box one pixel wide or high (W or H 0) is not turned: there is no second
// extent to scale to.
void vcOrientPoints(std::vector<POINT>& Points, TvcShapeOrientation Orientation, int32_t W, int32_t H);

class TvcCustomShapeBtn : public TvcCustomImageBtn {
  KORCAM_CLASS(TvcCustomShapeBtn, TvcCustomImageBtn)

 public:
  explicit TvcCustomShapeBtn(TComponent* AOwner);
  ~TvcCustomShapeBtn() override;

  // --- settings ---
  // The lines of the custom polygon ("x, y" a line, expressions of WIDTH and HEIGHT).
  TStrings* PointList() const { return FPointList.get(); }
  // Copies the lines and makes the window again (always).
  void SetPointList(TStrings* Value);
  TvcButtonShape Shape() const { return FShape; }
  void SetShape(TvcButtonShape Value);
  TvcShapeOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TvcShapeOrientation Value);
  // The width and height of the rounded rectangle's corner ellipse.
  int32_t RoundRectBias() const { return FRoundRectBias; }
  void SetRoundRectBias(int32_t Value);

  // --- operations ---
  virtual bool IsRoundShape() const;
  // The closed, turned polygon of the shape; for a custom shape a point list that fails switches
  // the button to a rectangle (for good, until Shape is set again) and the error goes on.
  std::vector<POINT> GetShapePoints();
  std::vector<POINT> GetStarPoints() const;
  void OrientPoints(std::vector<POINT>& Points) const;
  std::vector<POINT> ParsePointList();
  // Pure red, or pure blue when the button's Color is pure red: the colour of everything outside
  // the shape on the face, which the region leaves out.
  TColor OutsideColor() const;
  // The fill: Color, on a display that shows it as it is.
  TColor FaceColor() const;
  // The bevel along the shape's edges (the outline bevel for the round shapes).
  void DrawShapeEdges(TvcBitmap* Face, const std::vector<POINT>& Points, TColor KeyColor);

  HRGN CreateRegion(bool UseImage, bool IsDown) override;
  bool IsShaped() const override;
  bool StoreRegionData() const override;
  void RenderFace(TvcBitmap* Face, bool ForRegion, TvcShadeStyle AStyle, bool IsDown) override;
  void SizeToImage() override;
  bool UsesRegion() const override;
  // Region bytes in a form were made for a shape that is recomputed anyway: they are read and
  // dropped.
  void ReadRegionData(TStream& Stream) override;
  void ReadDownRegionData(TStream& Stream) override;

 protected:
  void AssignTo(TPersistent* Dest) override;
  // A shape setting changed: the cached regions go, and the window is made again.
  void ShapeChanged();

  std::unique_ptr<TStringList> FPointList;
  TvcButtonShape FShape = bsRect;
  TvcShapeOrientation FOrientation = soUp;
  int32_t FRoundRectBias = 25;
};

class TvcShapeBtn : public TvcCustomShapeBtn {
  KORCAM_CLASS(TvcShapeBtn, TvcCustomShapeBtn)

 public:
  explicit TvcShapeBtn(TComponent* AOwner) : TvcCustomShapeBtn(AOwner) {}

  KORCAM_PUBLISH_IMAGE_BUTTON(TvcCustomImageBtn)
  PUBLISH_PROPERTY(TvcCustomBitBtn, TvcShadeStyle, ShadeStyle, fbsHighlight)
  PUBLISH_PROPERTY(TvcCustomShapeBtn, TStrings*, PointList, nullptr)
  PUBLISH_PROPERTY(TvcCustomShapeBtn, TvcButtonShape, Shape, bsRect)
  PUBLISH_PROPERTY(TvcCustomShapeBtn, TvcShapeOrientation, Orientation, soUp)
  PUBLISH_PROPERTY(TvcCustomShapeBtn, int32_t, RoundRectBias, 25)
};
