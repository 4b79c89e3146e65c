// The value and settings dialogs, played through the scripted runner: what they accept and
// refuse, what they offer, and pictures of each for a person to look at.
#include <QAbstractButton>
#include <QFontDialog>
#include <cmath>

#include "app/editordialogsimpl.h"
#include "app/valuedialogs.h"
#include "dialogs_fixture.h"
#include "editor/showdrawing.h"
#include "items/measure.h"
#include "support/screen.h"
#include "support/strings.h"

namespace zeph::testing {
namespace {

using ValueDialogsTest = DialogTest;

TEST_F(ValueDialogsTest, ObjectChooserReadsNumbersNamesAndNewNames) {
  struct Case {
    const char* text;
    int number;  // -2: the smallest free number, named with the text
    bool accepted;
  };
  const Case cases[] = {
      {"12", 12, true},
      {"Object 12", 12, true},
      {"  oBJECT   7 ", 7, true},
      {"Roof", 5, true},
      {"Sixteen chars ab", -2, true},
      {"Seventeen chars a", -1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CZephDoc doc;
    DrawItemPtr line = MakeDialogLine(0, 0, 1000, 0, 1);
    ASSERT_EQ(doc.AddItem(line), 1);
    ASSERT_EQ(doc.SetObjectName(5, QStringLiteral("Roof")), 1);
    m_presenter.Clear();
    CChooseObjectDialog dialog;
    dialog.m_document = &doc;
    const int result = Run(dialog, [&](QDialog& d) {
      SetText(d, kIdcObjectList, QString::fromUtf8(c.text));
      Ok(d);
    });
    EXPECT_EQ(result, c.accepted ? kIdOk : 0);
    if (c.number == -2) {
      // Objects 1 (the line) and 5 (named) are taken.
      EXPECT_EQ(dialog.m_objectNumber, 2);
      EXPECT_EQ(doc.GetObjectName(2, 0), QString::fromUtf8(c.text));
    } else {
      EXPECT_EQ(dialog.m_objectNumber, c.number);
    }
    if (c.accepted) {
      EXPECT_TRUE(m_presenter.shown().empty());
    } else {
      ASSERT_EQ(m_presenter.shown().size(), 1u);
      EXPECT_EQ(m_presenter.shown()[0].text,
                QStringLiteral("An object name cannot contain\nmore than 16 characters."));
    }
  }
}

TEST_F(ValueDialogsTest, ObjectChooserListsTheObjects) {
  CZephDoc doc;
  DrawItemPtr a = MakeDialogLine(0, 0, 1000, 0, 3);
  ASSERT_EQ(doc.AddItem(a), 1);
  ASSERT_EQ(doc.SetObjectName(8, QStringLiteral("Door")), 1);
  CChooseObjectDialog dialog;
  dialog.m_document = &doc;
  Run(dialog, [&](QDialog& d) {
    auto* list = qobject_cast<QComboBox*>(FindControl(d, kIdcObjectList));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 2);
    EXPECT_NE(list->findText(QStringLiteral("Door")), -1);
    Shoot(d, QStringLiteral("dialog_choose_object.png"));
  });
}

TEST_F(ValueDialogsTest, GridSizeLabelsFollowTheRealWorldScale) {
  struct Case {
    double scale;
    std::int16_t units;
    const char* labels[7];
  };
  const Case cases[] = {
      {1.0, kUnitsCm, {"0.1cm", "0.2cm", "0.5cm", "1cm", "2cm", "5cm", "10cm"}},
      {2.0, kUnitsCm, {"0.2cm", "0.4cm", "1cm", "2cm", "4cm", "10cm", "20cm"}},
      {1.0, kUnitsMm, {"1mm", "2mm", "5mm", "10mm", "20mm", "50mm", "100mm"}},
      {500.0, kUnitsM, {"0.5m", "1m", "2.5m", "5m", "10m", "25m", "50m"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scale);
    SetOptionShort(kOptionDisplayUnits, c.units);
    QString labels[7];
    CGridSettingsDialog::GridSizeLabels(c.scale, labels);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(labels[i], QString::fromUtf8(c.labels[i])) << i;
  }
  // The dialog shows them on its buttons in their order.
  SetOptionShort(kOptionDisplayUnits, kUnitsCm);
  g_realWorldScale = 2.0;
  CGridSettingsDialog dialog;
  dialog.m_gridSize = 3;
  dialog.m_colour = 2;
  Run(dialog, [&](QDialog& d) {
    EXPECT_EQ(GetControlText(*FindControl(d, kGridSizeButtons[2])), QStringLiteral(" 1cm"));
    EXPECT_EQ(GetControlText(*FindControl(d, kGridSizeButtons[6])), QStringLiteral(" 20cm"));
    Shoot(d, QStringLiteral("dialog_grid_settings.png"));
  });
}

TEST_F(ValueDialogsTest, GridAlwaysBoxesExcludeEachOtherAndTheSettingsComeBack) {
  CGridSettingsDialog dialog;
  dialog.m_alwaysHidden = 1;
  dialog.m_linesOrDots = 0;
  dialog.m_squareOrIsometric = 1;
  dialog.m_gridSize = 4;
  dialog.m_colour = 1;
  const int result = Run(dialog, [&](QDialog& d) {
    auto check = [&](int id) { return qobject_cast<QAbstractButton*>(FindControl(d, id))->isChecked(); };
    EXPECT_TRUE(check(kIdcGridAlwaysHidden));
    Click(d, kIdcGridAlwaysShown);
    EXPECT_TRUE(check(kIdcGridAlwaysShown));
    EXPECT_FALSE(check(kIdcGridAlwaysHidden));
    Click(d, kIdcGridAlwaysHidden);
    EXPECT_FALSE(check(kIdcGridAlwaysShown));
    // Clearing one leaves the other alone.
    Click(d, kIdcGridAlwaysHidden);
    EXPECT_FALSE(check(kIdcGridAlwaysShown));
    EXPECT_FALSE(check(kIdcGridAlwaysHidden));
    Click(d, kIdcGridSnap);
    Click(d, kIdcGridDots);
    Click(d, kGridSizeButtons[6]);
    Ok(d);
  });
  EXPECT_EQ(result, kIdOk);
  EXPECT_EQ(dialog.m_snap, 1);
  EXPECT_EQ(dialog.m_alwaysHidden, 0);
  EXPECT_EQ(dialog.m_alwaysShown, 0);
  EXPECT_EQ(dialog.m_linesOrDots, 1);
  EXPECT_EQ(dialog.m_squareOrIsometric, 1);
  EXPECT_EQ(dialog.m_gridSize, 6);
  EXPECT_EQ(dialog.m_colour, 1);
}

TEST_F(ValueDialogsTest, PrintingScaleOffersTheSeriesFromTheAutomaticScale) {
  struct Case {
    double automatic;
    double values[4];
  };
  const Case cases[] = {
      {730, {1000, 2000, 5000, 10000}},
      {1000, {1000, 2000, 5000, 10000}},
      {150, {200, 500, 1000, 2000}},
      {1, {1, 2, 5, 10}},
      {3.2, {5, 10, 20, 50}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.automatic);
    double values[4];
    CPrintingScaleDialog::ScaleSeries(c.automatic, values);
    for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(values[i], c.values[i]) << i;
  }
  SetOptionShort(kOptionDisplayUnits, kUnitsCm);
  CPrintingScaleDialog dialog;
  dialog.m_automaticScale = 730;
  dialog.m_scale = 1250;
  const int result = Run(dialog, [&](QDialog& d) {
    auto* list = qobject_cast<QComboBox*>(FindControl(d, kIdcScaleList));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->itemText(0), QStringLiteral("1000cm"));
    EXPECT_EQ(list->itemText(3), QStringLiteral("10000cm"));
    EXPECT_EQ(GetControlText(*FindControl(d, kIdcScaleUnit)), QStringLiteral("1cm to "));
    EXPECT_EQ(list->currentText(), QStringLiteral("1250cm"));
    Shoot(d, QStringLiteral("dialog_printing_scale.png"));
    // Automatic takes the automatic scale; typing a scale clears it again.
    Click(d, kIdcAutomaticScale);
    EXPECT_EQ(list->currentText(), QStringLiteral("730cm"));
    EXPECT_EQ(static_cast<CDialogPlus&>(d).GetButtonCheck(kIdcAutomaticScale), 1);
    list->setEditText(QStringLiteral("2000"));
    EXPECT_EQ(static_cast<CDialogPlus&>(d).GetButtonCheck(kIdcAutomaticScale), 0);
    Ok(d);
  });
  EXPECT_EQ(result, kIdOk);
  EXPECT_DOUBLE_EQ(dialog.m_scale, 2000);
  EXPECT_EQ(dialog.m_automatic, 0);
}

TEST_F(ValueDialogsTest, PrintingScaleRefusesTextThatIsNoLength) {
  CPrintingScaleDialog dialog;
  dialog.m_automaticScale = 100;
  dialog.m_scale = 100;
  const int result = Run(dialog, [&](QDialog& d) {
    SetText(d, kIdcScaleList, QStringLiteral("big"));
    Ok(d);
  });
  EXPECT_EQ(result, 0);
  EXPECT_DOUBLE_EQ(dialog.m_scale, 100);
  ASSERT_EQ(m_presenter.shown().size(), 1u);
}

TEST_F(ValueDialogsTest, PolygonSidesAreKeptBetween3And500) {
  struct Case {
    const char* text;
    bool accepted;
    int sides;
  };
  const Case cases[] = {{"2", false, 0}, {"3", true, 3}, {"500", true, 500},
                        {"501", false, 0}, {"", false, 0}, {"six", false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    m_presenter.Clear();
    CPolygonSidesDialog dialog;
    const int result = Run(dialog, [&](QDialog& d) {
      SetText(d, kIdcSides, QString::fromUtf8(c.text));
      Ok(d);
    });
    EXPECT_EQ(result, c.accepted ? kIdOk : 0);
    EXPECT_EQ(m_presenter.shown().size(), c.accepted ? 0u : 1u);
    if (c.accepted) {
      EXPECT_EQ(dialog.m_sides, c.sides);
    }
  }
}

TEST_F(ValueDialogsTest, ValueDialogEmptyIsMinusOneAndShowsItsPrompt) {
  CChooseSettingDialog dialog;
  dialog.m_value = 12.5;
  dialog.m_prompt = kIdsPleaseTypeNumber;
  dialog.m_helpTopic = 57;
  const int result = Run(dialog, [&](QDialog& d) {
    EXPECT_EQ(GetControlText(*FindControl(d, kIdcValue)), QStringLiteral("12.5"));
    EXPECT_EQ(GetControlText(*FindControl(d, kIdcPrompt)), QStringLiteral("Please type a number."));
    Shoot(d, QStringLiteral("dialog_choose_value.png"));
    SetText(d, kIdcValue, QString());
    Ok(d);
  });
  EXPECT_EQ(result, kIdOk);
  EXPECT_EQ(dialog.m_value, -1.0);

  // A caller that forgot the help topic is reported.
  CChooseSettingDialog unset;
  Run(unset, [](QDialog& d) { static_cast<CDialogPlus&>(d).OnCommand(kIdCancel); });
  ExpectGlitch(2309, 1);
}

TEST_F(ValueDialogsTest, RealWorldScaleOffersTheSeriesAndKeepsTheText) {
  CRealWorldScaleDialog dialog;
  dialog.m_scaleText = QStringLiteral("50");
  const int result = Run(dialog, [&](QDialog& d) {
    auto* list = qobject_cast<QComboBox*>(FindControl(d, kIdcRealWorldScale));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 34);
    EXPECT_EQ(list->itemText(0), QStringLiteral("0.001"));
    EXPECT_EQ(list->itemText(1), QStringLiteral("0.002"));
    EXPECT_EQ(list->itemText(9), QStringLiteral("1"));
    EXPECT_EQ(list->itemText(32), QStringLiteral("50000000"));
    EXPECT_EQ(list->itemText(33), QStringLiteral("100000000"));
    EXPECT_EQ(list->currentText(), QStringLiteral("50"));
    Shoot(d, QStringLiteral("dialog_real_world_scale.png"));
    list->setEditText(QStringLiteral("250"));
    Ok(d);
  });
  EXPECT_EQ(result, kIdOk);
  EXPECT_EQ(dialog.m_scaleText, QStringLiteral("250"));
}

TEST_F(ValueDialogsTest, HatchChooserAnswersThePickedPattern) {
  int m_pattern = -2;
  SetOptionShort(kOptionHatchPatternAcross, 3);
  CChooseHatchDialog dialog;
  const int result = Run(dialog, [&](QDialog& d) {
    auto& hatch = static_cast<CChooseHatchDialog&>(d);
    ASSERT_NE(hatch.GetPreview(), nullptr);
    Shoot(d, QStringLiteral("dialog_choose_hatch.png"));
    CShowDrawing* preview = hatch.GetPreview();
    // The top-left corner of the first cell.
    int first = 0;
    while (g_hatchSamplesDoc->GetItem(first)->GetType() != kItemLine) ++first;
    const CDrawItem* side = g_hatchSamplesDoc->GetItem(first);
    m_pattern = side->GetObjectNumber();
    int x = 0;
    int y = 0;
    side->GetStart(x, y);
    const QPoint at(preview->GetMapping().DrawingToDeviceX(x),
                    preview->GetMapping().DrawingToDeviceY(y));
    QTest::mouseClick(preview, Qt::LeftButton, {}, at);
    Ok(d);
  });
  EXPECT_EQ(result, kIdOk);
  EXPECT_EQ(dialog.m_chosenPattern, m_pattern);
}

}  // namespace
}  // namespace zeph::testing

namespace zeph::testing {
namespace {

TEST_F(ValueDialogsTest, FontDialogGivesTheChosenFaceSizeAndStyleAsPixels) {
  CEditorDialogs dialogs;
  DcFont font;
  font.face = QStringLiteral("DejaVu Sans");
  font.height = 20;
  font.averageWidth = 7;
  font.escapement = 900;
  QFont opened;
  CScriptedDialogRunner ok([&opened](QDialog& d) {
    auto& fontDialog = static_cast<QFontDialog&>(d);
    opened = fontDialog.currentFont();
    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(18);
    chosen.setItalic(true);
    fontDialog.setCurrentFont(chosen);
    d.accept();
  });
  SetDialogRunner(&ok);
  ASSERT_EQ(dialogs.ChooseFont(font), 1);
  EXPECT_EQ(opened.family(), QStringLiteral("DejaVu Sans"));
  EXPECT_EQ(font.face, QStringLiteral("DejaVu Serif"));
  EXPECT_EQ(font.height, static_cast<int>(std::lround(18.0 * g_screenDpiY / 72.0)));
  EXPECT_TRUE(font.italic);
  EXPECT_FALSE(font.bold);
  // What the dialog has no say in stays.
  EXPECT_EQ(font.averageWidth, 7);
  EXPECT_EQ(font.escapement, 900);

  const DcFont kept = font;
  CScriptedDialogRunner cancel([](QDialog& d) {
    static_cast<QFontDialog&>(d).setCurrentFont(QFont(QStringLiteral("DejaVu Sans Mono")));
    d.reject();
  });
  SetDialogRunner(&cancel);
  EXPECT_EQ(dialogs.ChooseFont(font), 0);
  EXPECT_EQ(font, kept);
  SetDialogRunner(nullptr);
}

TEST_F(ValueDialogsTest, EditorInterfaceHandsValuesInAndOutOnlyOnOk) {
  CEditorDialogs dialogs;
  SetEditorDialogs(&dialogs);
  IEditorDialogs& editor = GetEditorDialogs();

  GridDialogSettings grid;
  grid.gridSize = 2;
  grid.colour = 3;
  grid.linesOrDots = 1;
  {
    CScriptedDialogRunner ok([](QDialog& d) {
      Click(d, kIdcGridSnap);
      Click(d, kGridSizeButtons[5]);
      Ok(d);
    });
    SetDialogRunner(&ok);
    EXPECT_EQ(editor.ChooseGridSettings(grid), 1);
  }
  EXPECT_EQ(grid.snap, 1);
  EXPECT_EQ(grid.gridSize, 5);
  EXPECT_EQ(grid.colour, 3);
  EXPECT_EQ(grid.linesOrDots, 1);

  CScriptedDialogRunner cancel([](QDialog& d) {
    const bool value = FindControl(d, kIdcValue) != nullptr;
    SetText(d, value ? kIdcValue : kIdcSides, QStringLiteral("99"));
    static_cast<CDialogPlus&>(d).OnCommand(kIdCancel);
  });
  SetDialogRunner(&cancel);
  double value = 4.0;
  EXPECT_EQ(editor.ChooseValue(value, 0, 57), 0);
  EXPECT_EQ(value, 4.0);
  std::int16_t sides = 6;
  EXPECT_EQ(editor.ChoosePolygonSides(sides), 0);
  EXPECT_EQ(sides, 6);

  CScriptedDialogRunner typed([](QDialog& d) {
    SetText(d, kIdcValue, QStringLiteral("2.5"));
    Ok(d);
  });
  SetDialogRunner(&typed);
  EXPECT_EQ(editor.ChooseValue(value, 0, 57), 1);
  EXPECT_EQ(value, 2.5);
  SetDialogRunner(nullptr);
  SetEditorDialogs(nullptr);
  // The stand-in cancels without showing anything.
  EXPECT_EQ(GetEditorDialogs().ChooseValue(value, 0, 57), 0);
}

}  // namespace
}  // namespace zeph::testing
