// A drawing made with every drawing tool, saved as a picture for a person to look at.
#include <QApplication>

#include "drawtools_fixture.h"

namespace zeph::testing {
namespace {

using DrawToolsRenderTest = DrawToolTest;

TEST_F(DrawToolsRenderTest, DrawingMadeWithEveryTool) {
  constexpr int kW = 480;
  constexpr int kH = 320;
  m_window->resize(kW, kH);
  QApplication::sendPostedEvents();
  ASSERT_EQ(m_window->BackBuffer().width(), kW);
  CViewMapping& m = m_window->GetMapping();
  const int scale = ZoomScaleOfLevel(8);
  m.SetZoomLevel(8);
  m.scaleX = scale;
  m.scaleY = scale;
  m.originX = -20 * scale;
  m.originY = (kH - 20) * scale;
  m.SetWindowExtent(kW, kH);
  m.SetClientSize(0, kH);
  const int s = scale;
  Repaint();

  // A house of lines: a rectangle for the walls and a triangle roof as a regular polygon.
  g_drawingColour = static_cast<int>(kBlack);
  Use(kToolShape, 1);
  Click({40, 280});
  Click({200, 170});
  m_dialogs.sidesOk = 1;
  m_dialogs.sidesAnswer = 3;
  Use(kToolShape, 2);
  Click({40, 170});  // asks for the number of sides
  Click({40, 170});
  Click({200, 170});
  // A door as a square of fixed side, a window pane by the circle tool.
  g_sideLength = 30.0 * s;
  g_sideLengthSet = 1;
  g_polygonRotation = 0.0;
  g_polygonRotationSet = 1;
  Use(kToolShape, 0);
  Click({70, 278});
  g_drawingColour = static_cast<int>(kBlue);
  Use(kToolCircle);
  Click({155, 225});
  Click({175, 225});
  // The sun as an ellipse, an arc of a rainbow through three points and one from its centre.
  g_drawingColour = static_cast<int>(MakeColour(230, 160, 0));
  Use(kToolEllipse);
  Click({420, 60});
  Click({390, 30});
  g_drawingColour = static_cast<int>(kRed);
  Use(kToolArc);
  Click({250, 200});
  Click({450, 200});
  Click({350, 110});
  g_arcPointChoice = 1;
  Use(kToolArc);
  Click({350, 200});
  Click({420, 200});
  Click({350, 100});
  // A path as a curve.
  g_drawingColour = static_cast<int>(MakeColour(0, 140, 0));
  Use(kToolCurve);
  Click({85, 295});
  Click({300, 300});
  Click({150, 250});
  Click({230, 312});
  // The walls filled solid, the roof hatched.
  g_drawingColour = static_cast<int>(MakeColour(250, 220, 180));
  Use(kToolFill);
  Click({180, 190});
  g_drawingColour = static_cast<int>(MakeColour(160, 60, 40));
  g_fillType = kFillHatch;
  m_dialogs.hatchAnswer = 1;
  Click({120, 140});
  // A label and the width of the house measured below it.
  g_drawingColour = static_cast<int>(kBlack);
  Use(kToolText);
  Click({230, 290});
  for (const char c : QByteArrayLiteral("Our house")) {
    if (c != 0) m_window->OnChar(c, 1, 0);
  }
  m_window->OnChar('\r', 1, 0);
  g_dimensionType = kDimensionHorizontal;
  Use(kToolDimension);
  Click({120, 285});
  Click({120, 305});

  int kinds[kItemTypeCount] = {};
  for (int i = 0; i < m_doc.GetItemCount(); ++i) ++kinds[m_doc.GetItem(i)->GetType()];
  for (const int type : {kItemLine, kItemArc, kItemCircle, kItemFill, kItemDimension, kItemEllipse,
                         kItemText, kItemBezier}) {
    EXPECT_GT(kinds[type], 0) << "kind " << type;
  }
  EXPECT_EQ(kinds[kItemFill], 2);
  Repaint();
  EXPECT_TRUE(m_window->BackBuffer().save(RenderPath(QStringLiteral("drawing_tools.png"))));
}

}  // namespace
}  // namespace zeph::testing
