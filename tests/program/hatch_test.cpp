// The hatch chosen in the first hatch chooser (the one the Fill tool opens for the first
// hatched fill of a drawing) is the hatch drawn, for every sample it offers.
#include <memory>

#include "items/hatch.h"
#include "program/program_fixture.h"

namespace zeph::testing {
namespace {

using HatchTest = ProgramTest;

TEST_F(HatchTest, EverySampleChosenIsTheHatchDrawn) {
  StartProgram();
  CreateDrawing();
  for (int index = 0; index < kHatchDefinitionCount; ++index) {
    SCOPED_TRACE("sample " + std::to_string(index) + ", " +
                 g_hatchDefinitions[static_cast<std::size_t>(index)].GetName().toStdString());
    if (index > 0) {
      CheckGoldens(QStringLiteral("sample%1").arg(index - 1));
      // A new drawing asks for its first hatch again.
      ExpectMessage(QStringLiteral("saving the drawing"), QStringLiteral("&No"));
      KeyOnFocus(Qt::Key_N, Qt::ControlModifier);
      Settle();
      ASSERT_EQ(Count(), 0);
    }
    DrawRectangle({100, 100}, {300, 250});
    PickTool(kToolFill);
    ChooseInList(10, QStringLiteral("Hatch"));
    auto chosen = std::make_shared<int>(-1);
    m_person.Expect(QStringLiteral("the hatch"), [index, chosen](QWidget& window) {
      *chosen = ChooseHatchSample(window, index);
    });
    Click({200, 175});
    if (m_person.Waiting() != 0) {
      m_person.ForgetAnswers();
      FAIL() << "the hatch chooser did not open";
    }
    const std::vector<CDrawItem*> fills = ItemsOfKind(kItemFill);
    ASSERT_EQ(fills.size(), 1U) << "nothing filled";
    ASSERT_NE(fills[0]->GetHatchPattern(), nullptr);
    EXPECT_EQ(fills[0]->GetHatchPattern()->GetNumber(), *chosen);
  }
}

}  // namespace
}  // namespace zeph::testing
