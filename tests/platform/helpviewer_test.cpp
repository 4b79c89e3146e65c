#include "platform/helpviewer.h"

#include <gtest/gtest.h>

namespace zeph {
namespace {

class CountingViewer : public IHelpViewer {
 public:
  void ShowHelpPage(const QString&, const QString&, int) override { ++count; }
  int count = 0;
};

TEST(HelpViewer, StandInRecordsRequestsUntilAViewerIsInstalled) {
  GetBuiltInHelpViewer().Clear();
  GetHelpViewer().ShowHelpPage(QStringLiteral("/data/Zeph"), QStringLiteral("html/welcome.htm"),
                               kHelpDisplayContents);
  ASSERT_EQ(GetBuiltInHelpViewer().requests().size(), 1u);
  const auto& request = GetBuiltInHelpViewer().requests().front();
  EXPECT_EQ(request.helpFolder, QStringLiteral("/data/Zeph"));
  EXPECT_EQ(request.page, QStringLiteral("html/welcome.htm"));
  EXPECT_EQ(request.command, kHelpDisplayContents);

  CountingViewer viewer;
  SetHelpViewer(&viewer);
  GetHelpViewer().ShowHelpPage(QStringLiteral("/x"), QStringLiteral("html/a.htm"), 0);
  SetHelpViewer(nullptr);
  EXPECT_EQ(viewer.count, 1);
  EXPECT_EQ(GetBuiltInHelpViewer().requests().size(), 1u);
  GetBuiltInHelpViewer().Clear();
}

}  // namespace
}  // namespace zeph
