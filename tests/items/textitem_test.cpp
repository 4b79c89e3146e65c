#include "items/textitem.h"

#include <gtest/gtest.h>

#include <QList>
#include <QString>
#include <cmath>
#include <vector>

#include "items/geometry.h"
#include "items/item_fixture.h"
#include "items/itemservices.h"
#include "items/transform.h"
#include "items/valuefields.h"
#include "items/viewmapping.h"
#include "platform/recordingcontext.h"
#include "support/constants.h"
#include "support/log.h"
#include "support/options.h"
#include "support/printer.h"
#include "support/screen.h"
#include "support/textutil.h"
#include "textfakes.h"

namespace {

using zeph::CRecordingContext;
using zeph::DcCall;
using zeph::DcOp;

// A 12-point text at kPointScale: lines of 22 pixels (5808 drawing units), characters of
// 8 pixels (2112 units).
constexpr int kLine = 22 * kPointScale;
constexpr int kChar = 8 * kPointScale;

std::unique_ptr<CTextItem> MakeText(const QString& text, double angleDegrees = 0.0, int x = 0,
                                    int y = 0) {
  auto item = std::make_unique<CTextItem>();
  item->SetPosition(x, y);
  item->SetText(text);
  CFontSpec font;
  font.Set(QStringLiteral("Arial"), 12, false, false);
  item->SetFont(font);
  item->SetTextAngle(angleDegrees * g_radiansPerDegree);
  item->SetColour(0x0000FF);
  return item;
}

std::vector<DcCall> CallsOf(const CRecordingContext& dc, DcOp op) {
  std::vector<DcCall> out;
  for (const DcCall& call : dc.calls()) {
    if (call.op == op) out.push_back(call);
  }
  return out;
}

class TextItemTest : public ItemFixture {
 protected:
  void SetUp() override {
    ResetAll();
    SetEditingView(&m_view);
    SetTextSpellCheck(&m_spell);
    m_window.mapping = MakeMapping(kPointScale, 100, 100);
  }
  void TearDown() override { ResetAll(); }
  static void ResetAll() {
    ResetLogState();
    ResetItemGlobals();
    ResetGeometryGlobals();
    ResetViewGlobals();
    ResetScreenState();
    ResetPrinterState();
    ResetOptionsState();
    ResetItemServices();
    ResetTextEditState();
    ResetTextValueFields();
  }
  // One keystroke through the window.
  int Key(CTextItem& item, unsigned key, int isKeyDown, std::int16_t* outcome = nullptr) {
    std::int16_t out = 99;
    const int result = item.EditKey(&m_window.dc, &m_window, key, isKeyDown, out);
    if (outcome != nullptr) *outcome = out;
    return result;
  }

  CMeasuringView m_view;
  CFakeSpellCheck m_spell;
  CFakeWindow m_window;
  CScaledDocument m_document;
};

// ---- Attributes, setters and validity ----

TEST_F(TextItemTest, NewTextAndFactory) {
  DrawItemPtr made = CreateItem(kItemText);
  ASSERT_NE(made, nullptr);
  auto* text = dynamic_cast<CTextItem*>(made.get());
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->GetText().isNull());
  EXPECT_EQ(text->GetTextLength(), 0);
  EXPECT_EQ(text->GetTextAngle(), 0.0);
  EXPECT_EQ(text->GetTextParameter(), 0.0);
  EXPECT_EQ(text->GetTextTag(), -1);
  EXPECT_EQ(text->GetHandleCount(), 1);
  EXPECT_EQ(text->CanBound(), 0);
  EXPECT_EQ(text->IsClosed(), 0);
  EXPECT_EQ(text->IntersectScanLine(0), 0);
  EXPECT_EQ(text->IsValid(), 0);  // no characters
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(TextItemTest, Validity) {
  const double nan = std::nan("");
  const struct {
    const char* name;
    QString text;
    int x;
    int y;
    double angle;
    double parameter;
    int valid;
  } cases[] = {
      {"ordinary", QStringLiteral("abc"), 0, 0, 0.5, 0.0, 1},
      {"empty text", QString(QStringLiteral("")), 0, 0, 0.0, 0.0, 0},
      {"at the limits", QStringLiteral("a"), 50000000, -30000000, 0.0, 0.0, 1},
      {"x past the limit", QStringLiteral("a"), 50000001, 0, 0.0, 0.0, 0},
      {"y past the limit", QStringLiteral("a"), 0, 30000001, 0.0, 0.0, 0},
      {"angle not a number", QStringLiteral("a"), 0, 0, nan, 0.0, 0},
      {"parameter infinite", QStringLiteral("a"), 0, 0, 0.0, INFINITY, 0},
  };
  for (const auto& c : cases) {
    CTextItem item;
    item.SetPosition(c.x, c.y);
    item.AttachText(c.text);
    item.SetTextAngle(c.angle);
    item.SetTextParameter(c.parameter);
    EXPECT_EQ(item.IsValid(), c.valid) << c.name;
  }
}

TEST_F(TextItemTest, SettersRecordTheirUndoKinds) {
  auto item = MakeText(QStringLiteral("abc"));
  item->SetDocument(&m_document);
  CFontSpec bold;
  bold.Set(QStringLiteral("Arial"), 12, true, false);
  const struct {
    const char* name;
    void (*change)(CTextItem&, const CFontSpec&);
    UndoKind kind;
  } cases[] = {
      {"position", [](CTextItem& t, const CFontSpec&) { t.SetPosition(5, 6); },
       UndoKind::kPosition},
      {"text", [](CTextItem& t, const CFontSpec&) { t.SetText(QStringLiteral("x")); },
       UndoKind::kTextString},
      {"font", [](CTextItem& t, const CFontSpec& f) { t.SetFont(f); }, UndoKind::kFont},
      {"width", [](CTextItem& t, const CFontSpec&) { t.SetFontSize(80); }, UndoKind::kFont},
      {"angle", [](CTextItem& t, const CFontSpec&) { t.SetTextAngle(1.0); }, UndoKind::kTextAngle},
      {"parameter", [](CTextItem& t, const CFontSpec&) { t.SetTextParameter(2.0); },
       UndoKind::kTextParameter},
      {"tag", [](CTextItem& t, const CFontSpec&) { t.SetTextTag(4); }, UndoKind::kTextTag},
      {"move", [](CTextItem& t, const CFontSpec&) { t.MoveBy(10, 20); }, UndoKind::kMove},
  };
  for (const auto& c : cases) {
    m_document.ClearLog();
    c.change(*item, bold);
    ASSERT_EQ(m_document.records.size(), 1u) << c.name;
    EXPECT_EQ(m_document.records[0].kind, c.kind) << c.name;
    EXPECT_EQ(m_document.changedCount, 1) << c.name;
    // Texts cross nothing: no cached intersections to drop.
    EXPECT_EQ(m_document.drops, 0) << c.name;
    // The same value again records nothing.
    m_document.ClearLog();
    c.change(*item, bold);
    if (c.kind != UndoKind::kMove) {
      EXPECT_TRUE(m_document.records.empty()) << c.name;
    }
  }
  int x = 0;
  int y = 0;
  item->GetPosition(x, y);
  EXPECT_EQ(x, 25);  // 5 + two moves of 10
  EXPECT_EQ(y, 46);
  EXPECT_EQ(item->GetFontSize(), 80);
  EXPECT_EQ(item->GetFont()->IsBold(), 1);
}

TEST_F(TextItemTest, SetTextKeepsTheOldTextForUndoAndHonoursARefusal) {
  auto item = MakeText(QStringLiteral("abc"));
  item->SetDocument(&m_document);
  EXPECT_EQ(item->SetText(QStringLiteral("abc")), 1);
  EXPECT_TRUE(m_document.records.empty());

  EXPECT_EQ(item->SetText(QStringLiteral("new")), 1);
  ASSERT_EQ(m_document.recordedTexts.size(), 1u);
  EXPECT_EQ(m_document.recordedTexts[0], QStringLiteral("abc"));

  m_document.recordAnswer = kUndoRefused;
  EXPECT_EQ(item->SetText(QStringLiteral("refused")), 0);
  EXPECT_EQ(item->GetText(), QStringLiteral("new"));
  item->MoveBy(5, 5);
  int x = 1;
  int y = 1;
  item->GetPosition(x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
}

TEST_F(TextItemTest, HandlesAndTheirGlitches) {
  auto item = MakeText(QStringLiteral("abc"), 0.0, 10, 20);
  EXPECT_EQ(item->GetHandleX(0), 10);
  EXPECT_EQ(item->GetHandleY(0), 20);
  item->MoveHandle(0, 5, -5);
  EXPECT_EQ(item->GetHandleX(0), 15);
  EXPECT_EQ(item->GetHandleY(0), 15);
  EXPECT_EQ(g_glitchCount, 0);

  const struct {
    const char* name;
    int (*call)(CTextItem&);
    int glitch;
  } cases[] = {
      {"x", [](CTextItem& t) { return t.GetHandleX(1); }, 1953},
      {"y", [](CTextItem& t) { return t.GetHandleY(2); }, 1954},
      {"set",
       [](CTextItem& t) {
         t.SetHandle(1, 0, 0);
         return 0;
       },
       1952},
  };
  for (const auto& c : cases) {
    ResetLogState();
    EXPECT_EQ(c.call(*item), 0) << c.name;
    ExpectGlitch(c.glitch, 1, c.name);
  }
  EXPECT_EQ(item->GetHandleX(0), 15);
}

TEST_F(TextItemTest, CopyFromTakesEverythingThroughTheGetters) {
  auto source = MakeText(QStringLiteral("copied"), 45.0, 7, 8);
  source->SetTextParameter(1.5);
  source->SetTextTag(12);
  source->SetFontSize(70);
  CTextItem copy;
  copy.SetDocument(&m_document);
  copy.CopyFrom(source.get());
  EXPECT_TRUE(m_document.records.empty());
  int x = 0;
  int y = 0;
  copy.GetPosition(x, y);
  EXPECT_EQ(x, 7);
  EXPECT_EQ(y, 8);
  EXPECT_EQ(copy.GetText(), QStringLiteral("copied"));
  EXPECT_EQ(copy.GetTextAngle(), source->GetTextAngle());
  EXPECT_EQ(copy.GetTextParameter(), 1.5);
  EXPECT_EQ(copy.GetTextTag(), 12);
  EXPECT_EQ(copy.GetFont()->IsEqual(*source->GetFont()), 1);
  EXPECT_EQ(copy.GetColour(), 0x0000FF);

  // A text without characters gives an empty copy.
  CTextItem empty;
  copy.CopyFrom(&empty);
  EXPECT_TRUE(copy.HasText());
  EXPECT_EQ(copy.GetTextLength(), 0);
}

TEST_F(TextItemTest, TransformsMoveTurnAndScale) {
  auto item = MakeText(QStringLiteral("abc"), 300.0, 1000, 0);
  CTransform rotation;
  rotation.SetRotation(90.0, 0, 0);
  item->Transform(rotation);
  EXPECT_NEAR(item->GetTextAngle(), 30.0 * g_radiansPerDegree, 1e-12);
  int x = 0;
  int y = 0;
  item->GetPosition(x, y);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 1000);

  CFontSpec ten;
  ten.Set(QStringLiteral("Arial"), 10, false, false);
  item->SetFont(ten);
  CTransform enlargement;
  enlargement.SetEnlargement(1.5, 0, 0);
  item->Transform(enlargement);
  EXPECT_EQ(item->GetFont()->GetSize(), 15);
  item->GetPosition(x, y);
  EXPECT_EQ(y, 1500);

  // A mirror moves the text but does not mirror its letters.
  CTransform reflection;
  reflection.SetReflection(1, 100);
  item->Transform(reflection);
  item->GetPosition(x, y);
  EXPECT_EQ(x, 200);
  EXPECT_NEAR(item->GetTextAngle(), 30.0 * g_radiansPerDegree, 1e-12);
  EXPECT_EQ(item->GetFont()->GetSize(), 15);
}

TEST_F(TextItemTest, ValuesBarFields) {
  auto item = MakeText(QStringLiteral("abc"), 90.0, 11, 22);
  item->SetFontSize(120);
  item->PublishProperties();
  ASSERT_EQ(g_valueFieldCount, 3);
  EXPECT_EQ(g_valueFieldIds[0], kFieldColourObject);
  EXPECT_EQ(g_valueFieldIds[1], kFieldTextFont);
  EXPECT_EQ(g_valueFieldIds[2], kFieldTextWidthAngle);
  EXPECT_EQ(g_valueColour, 0x0000FF);
  EXPECT_EQ(g_valueFontWidth, 120);
  EXPECT_EQ(g_valueTextFont.GetSize(), 12);
  EXPECT_NEAR(g_valueTextAngle, g_halfPi, 1e-12);
  item->PublishInformation();
  ASSERT_EQ(g_valueFieldCount, 1);
  EXPECT_EQ(g_valueFieldIds[0], kFieldStart);
  EXPECT_EQ(g_valueStartX, 11);
  EXPECT_EQ(g_valueStartY, 22);
}

// ---- Editing ----

TEST_F(TextItemTest, BeginEditPlacesTheCaret) {
  const struct {
    const char* name;
    const char16_t* text;  // null: no text
    int caret;
    int expected;
  } cases[] = {
      {"past the end", u"abc", 5, 3}, {"at the end", u"abc", -1, 3},    {"inside", u"abc", 1, 1},
      {"no text", nullptr, 2, 0},     {"no text, end", nullptr, -1, 0},
  };
  for (const auto& c : cases) {
    CTextItem item;
    if (c.text != nullptr) item.SetText(QString::fromUtf16(c.text));
    g_textCaretShown = 1;
    item.BeginEdit(c.caret);
    EXPECT_EQ(item.IsEditing(), 1) << c.name;
    EXPECT_EQ(g_textEditCaret, c.expected) << c.name;
    EXPECT_EQ(g_textEditBuffer, c.text != nullptr ? QString::fromUtf16(c.text) : QString())
        << c.name;
    EXPECT_EQ(g_textCaretShown, 0) << c.name;
  }
}

TEST_F(TextItemTest, EditingKeysChangeTheBufferAndCaret) {
  struct Step {
    unsigned key;
    int isKeyDown;
    int result;
  };
  const QString lineBreak = QString(QChar(kStoredLineBreak));
  const struct {
    const char* name;
    QString text;
    int caret;
    std::vector<Step> steps;
    QString buffer;
    int finalCaret;
  } cases[] = {
      {"Left stops at the start", "abc", 1, {{37, 1, 1}, {37, 1, 0}}, "abc", 0},
      {"Right stops at the end", "abc", 2, {{39, 1, 1}, {39, 1, 0}}, "abc", 3},
      {"Delete takes the character at the caret", "abc", 1, {{7, 1, 1}}, "ac", 1},
      {"Delete at the end does nothing", "abc", 3, {{7, 1, 0}}, "abc", 3},
      {"Backspace takes the character before", "abc", 2, {{8, 0, 1}}, "ac", 1},
      {"Backspace at the start does nothing", "abc", 0, {{8, 0, 0}}, "abc", 0},
      {"a character goes in at the caret", "abc", 1, {{'X', 0, 1}, {'Y', 0, 1}}, "aXYbc", 3},
      {"F7 cycles the case of one character", "abc", 0, {{118, 1, 1}, {118, 1, 1}}, "ABc", 2},
      {"F7 at the end does nothing", "abc", 3, {{118, 1, 0}}, "abc", 3},
      {"other keys do nothing", "abc", 1, {{46, 1, 0}, {'A', 1, 0}, {40, 1, 0}}, "abc", 1},
      {"the pound sign goes in as itself", "ab", 1, {{163, 0, 1}}, QStringLiteral("a£b"), 2},
      {"control characters stay out",
       "ab",
       1,
       {{10, 0, 0}, {9, 0, 0}, {127, 0, 0}, {1, 0, 0}},
       "ab",
       1},
      {"a stored line break is one character",
       "ab" + lineBreak + "cd",
       2,
       {{39, 1, 1}, {8, 0, 1}, {39, 1, 1}},
       "abcd",
       3},
      {"Delete takes a stored line break", "ab" + lineBreak + "cd", 2, {{7, 1, 1}}, "abcd", 2},
      {"typing into a text that has none", QString(), 0, {{'q', 0, 1}}, "q", 1},
  };
  for (const auto& c : cases) {
    auto item = MakeText(c.text);
    if (c.text.isNull()) item = std::make_unique<CTextItem>();
    item->BeginEdit(c.caret);
    for (const Step& step : c.steps) {
      std::int16_t outcome = 99;
      EXPECT_EQ(Key(*item, step.key, step.isKeyDown, &outcome), step.result)
          << c.name << " key " << step.key;
      EXPECT_EQ(outcome, kEditGoesOn) << c.name;
    }
    EXPECT_EQ(g_textEditBuffer, c.buffer) << c.name;
    EXPECT_EQ(g_textEditCaret, c.finalCaret) << c.name;
    EXPECT_EQ(item->IsEditing(), 1) << c.name;
    // The item keeps its text until the edit is finished.
    EXPECT_EQ(item->GetText(), c.text) << c.name;
  }
  EXPECT_EQ(g_glitchCount, 0);
}

TEST_F(TextItemTest, TheBufferHoldsTheWholeTextAndTypingStopsAtAHundred) {
  auto item = MakeText(QString(150, QChar(u'x')));
  item->BeginEdit(-1);
  EXPECT_EQ(g_textEditBuffer, QString(150, QChar(u'x')));
  EXPECT_EQ(g_textEditCaret, 150);
  EXPECT_EQ(Key(*item, 'y', 0), 0);
  EXPECT_EQ(g_textEditBuffer.size(), 150);
  // A deletion still works; typing comes back only below a hundred characters.
  EXPECT_EQ(Key(*item, 8, 0), 1);
  EXPECT_EQ(Key(*item, 'y', 0), 0);
  EXPECT_EQ(g_textEditBuffer.size(), 149);
  // Finishing keeps every character.
  item->CheckSpelling(nullptr);
  EXPECT_EQ(item->GetText(), QString(149, QChar(u'x')));
  auto short_ = MakeText(QString(99, QChar(u'x')));
  short_->BeginEdit(-1);
  EXPECT_EQ(Key(*short_, 'y', 0), 1);
  EXPECT_EQ(Key(*short_, 'z', 0), 0);
  EXPECT_EQ(g_textEditBuffer.size(), kTextEditLimit);
  EXPECT_EQ(g_textEditBuffer.back(), QChar(u'y'));
}

TEST_F(TextItemTest, AChangeWipesTheOldCharactersAndDrawsTheNew) {
  auto item = MakeText(QStringLiteral("abc"));
  item->BeginEdit(1);
  m_window.dc.Clear();
  EXPECT_EQ(Key(*item, 7, 1), 1);
  const auto texts = CallsOf(m_window.dc, DcOp::kTextOut);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0].text, QStringLiteral("abc"));
  EXPECT_EQ(texts[0].textColour, g_backgroundColour);
  EXPECT_EQ(texts[1].text, QStringLiteral("ac"));
  EXPECT_EQ(texts[1].textColour, 0x0000FFu);
  // At the item's position (device 100, 100), left and top aligned.
  EXPECT_EQ(texts[1].points.at(0), (zeph::DcPoint{100, 100}));

  // Moving the caret changes no characters and draws none.
  m_window.dc.Clear();
  EXPECT_EQ(Key(*item, 37, 1), 1);
  EXPECT_TRUE(CallsOf(m_window.dc, DcOp::kTextOut).empty());
}

TEST_F(TextItemTest, EscapeCancelsAndEnterStores) {
  auto item = MakeText(QStringLiteral("abc"));
  item->SetDocument(&m_document);
  item->BeginEdit(-1);
  Key(*item, 'd', 0);
  std::int16_t outcome = 0;
  m_window.dc.Clear();
  EXPECT_EQ(Key(*item, 27, 0, &outcome), 1);
  EXPECT_EQ(outcome, kEditCancelled);
  EXPECT_EQ(item->IsEditing(), 0);
  EXPECT_EQ(item->GetText(), QStringLiteral("abc"));
  EXPECT_TRUE(m_document.records.empty());
  const auto wiped = CallsOf(m_window.dc, DcOp::kTextOut);
  ASSERT_EQ(wiped.size(), 1u);
  EXPECT_EQ(wiped[0].text, QStringLiteral("abcd"));
  EXPECT_EQ(wiped[0].textColour, g_backgroundColour);

  SetOptionFlag(kOptionSpellCheck, 0);
  item->BeginEdit(-1);
  Key(*item, 'd', 0);
  EXPECT_EQ(Key(*item, 13, 0, &outcome), 1);
  EXPECT_EQ(outcome, kEditAccepted);
  EXPECT_EQ(item->IsEditing(), 0);
  EXPECT_EQ(item->GetText(), QStringLiteral("abcd"));
  ASSERT_EQ(m_document.records.size(), 1u);
  EXPECT_EQ(m_document.records[0].kind, UndoKind::kTextString);
  EXPECT_TRUE(m_spell.checked.empty());

  // Keys after the end are a glitch.
  ResetLogState();
  outcome = 5;
  EXPECT_EQ(Key(*item, 'x', 0, &outcome), 0);
  EXPECT_EQ(outcome, kEditGoesOn);
  ExpectGlitch(1951, 1);
}

TEST_F(TextItemTest, EndEditWipesWithoutStoring) {
  auto item = MakeText(QStringLiteral("abc"));
  item->BeginEdit(-1);
  Key(*item, 'd', 0);
  item->EndEdit(&m_window.dc, &m_window.mapping);
  EXPECT_EQ(item->IsEditing(), 0);
  EXPECT_EQ(item->GetText(), QStringLiteral("abc"));
}

TEST_F(TextItemTest, SpellCheckWhenTheTextIsFinished) {
  const struct {
    const char* name;
    int option;
    int ready;
    int answer;
    QString corrected;
    bool checked;
    QString stored;
    int optionAfter;
  } cases[] = {
      {"unchanged", 1, 1, kSpellTextUnchanged, "", true, "teh cat", 1},
      {"corrected", 1, 1, kSpellTextChanged, "the cat", true, "the cat", 1},
      {"a long correction is kept whole", 1, 1, kSpellTextChanged, QString(120, QChar(u'z')), true,
       QString(120, QChar(u'z')), 1},
      {"skipped", 1, 1, kSpellCheckSkipped, "", true, "teh cat", 1},
      {"switched off", 1, 1, kSpellCheckSwitchedOff, "", true, "teh cat", 0},
      {"option off", 0, 1, kSpellTextChanged, "the cat", false, "teh cat", 0},
      {"checker not ready", 1, 0, kSpellTextChanged, "the cat", false, "teh cat", 1},
  };
  for (const auto& c : cases) {
    ResetOptionsState();
    SetOptionFlag(kOptionSpellCheck, c.option);
    m_spell.ready = c.ready;
    m_spell.answer = c.answer;
    m_spell.corrected = c.corrected;
    m_spell.checked.clear();
    auto item = MakeText(QStringLiteral("teh"));
    item->BeginEdit(-1);
    for (QChar ch : QStringLiteral(" cat")) Key(*item, ch.unicode(), 0);
    m_window.dc.Clear();
    std::int16_t outcome = 0;
    EXPECT_EQ(Key(*item, 13, 0, &outcome), 1) << c.name;
    EXPECT_EQ(outcome, kEditAccepted) << c.name;
    EXPECT_EQ(!m_spell.checked.empty(), c.checked) << c.name;
    if (c.checked) {
      EXPECT_EQ(m_spell.checked[0], QStringLiteral("teh cat")) << c.name;
    }
    EXPECT_EQ(item->GetText(), c.stored) << c.name;
    EXPECT_EQ(item->IsEditing(), 0) << c.name;
    EXPECT_EQ(GetOptionFlag(kOptionSpellCheck), c.optionAfter) << c.name;
    // A corrected text first wipes the typed one off the window.
    const auto texts = CallsOf(m_window.dc, DcOp::kTextOut);
    const bool wiped = !texts.empty() && texts[0].textColour == g_backgroundColour &&
                       texts[0].text == QStringLiteral("teh cat");
    EXPECT_EQ(wiped, c.checked && c.answer == kSpellTextChanged) << c.name;
  }
  // Without any spell check registered the text is stored unchecked.
  SetTextSpellCheck(nullptr);
  EXPECT_EQ(IsSpellCheckerReady(), 0);
  auto item = MakeText(QStringLiteral("abc"));
  item->BeginEdit(-1);
  Key(*item, 13, 0);
  EXPECT_EQ(item->GetText(), QStringLiteral("abc"));
}

TEST_F(TextItemTest, SetCaretKeepsTheCaretInTheBuffer) {
  auto item = MakeText(QStringLiteral("abcd"));
  item->SetCaret(1);  // not editing: nothing
  EXPECT_EQ(g_textEditCaret, 0);
  item->BeginEdit(0);
  item->SetCaret(2);
  EXPECT_EQ(g_textEditCaret, 2);
  item->SetCaret(9);
  EXPECT_EQ(g_textEditCaret, 4);
  item->SetCaret(-3);
  EXPECT_EQ(g_textEditCaret, 4);
}

// ---- The caret ----

TEST_F(TextItemTest, TheCaretIsAnExclusiveOrLineAtTheCaretsPlace) {
  const struct {
    const char* name;
    double angle;
    int caret;
    zeph::DcPoint from;
    zeph::DcPoint to;
  } cases[] = {
      // Two characters of 8 pixels along, one line of 22 pixels down the text.
      {"level", 0.0, 2, {116, 100}, {116, 122}},
      {"at the start", 0.0, 0, {100, 100}, {100, 122}},
      {"turned a quarter", 90.0, 2, {100, 84}, {122, 84}},
      {"upside down", 180.0, 1, {92, 100}, {92, 78}},
  };
  for (const auto& c : cases) {
    auto item = MakeText(QStringLiteral("abc"), c.angle);
    item->BeginEdit(c.caret);
    CRecordingContext& dc = m_window.dc;
    dc.Clear();
    item->DrawCaret(&dc, &m_window.mapping);
    EXPECT_EQ(g_textCaretShown, 1) << c.name;
    const auto moves = CallsOf(dc, DcOp::kMoveTo);
    const auto lines = CallsOf(dc, DcOp::kLineTo);
    ASSERT_EQ(moves.size(), 1u) << c.name;
    ASSERT_EQ(lines.size(), 1u) << c.name;
    EXPECT_EQ(moves[0].points[0], c.from) << c.name;
    EXPECT_EQ(lines[0].points.back(), c.to) << c.name;
    EXPECT_EQ(lines[0].rasterOp, zeph::RasterOp::kXor) << c.name;
    EXPECT_EQ(dc.GetRasterOp(), zeph::RasterOp::kCopy) << c.name;
    // Hiding draws the same line again, which takes it off.
    dc.Clear();
    item->HideCaret(&dc, &m_window.mapping);
    EXPECT_EQ(g_textCaretShown, 0) << c.name;
    ASSERT_EQ(CallsOf(dc, DcOp::kLineTo).size(), 1u) << c.name;
    EXPECT_EQ(CallsOf(dc, DcOp::kLineTo)[0].points.back(), c.to) << c.name;
    dc.Clear();
    item->HideCaret(&dc, &m_window.mapping);
    EXPECT_TRUE(dc.calls().empty()) << c.name;
    item->EndEdit(&dc, &m_window.mapping);
  }
}

TEST_F(TextItemTest, AKeystrokeHidesTheCaretAndMovesIt) {
  auto item = MakeText(QStringLiteral("abc"));
  item->BeginEdit(0);
  item->DrawCaret(&m_window.dc, &m_window.mapping);
  EXPECT_EQ(Key(*item, 39, 1), 1);
  EXPECT_EQ(g_textCaretShown, 0);
  m_window.dc.Clear();
  item->DrawCaret(&m_window.dc, &m_window.mapping);
  EXPECT_EQ(CallsOf(m_window.dc, DcOp::kMoveTo).at(0).points[0], (zeph::DcPoint{108, 100}));
}

// ---- Measuring ----

TEST_F(TextItemTest, TheTurnedBoxBoundsItsCorners) {
  const struct {
    const char* name;
    double angle;
    zeph::DcRect box;  // offsets from the anchor
  } cases[] = {
      // 22 pixels high; 3 characters of 8 and a quarter blank (2) wide.
      {"level", 0.0, {0, 0, 26, 22}},
      {"a quarter turn", 90.0, {0, -26, 22, 0}},
      {"upside down", 180.0, {-26, -22, 0, 0}},
      {"30 degrees", 30.0, {0, -13, 34, 19}},
  };
  for (const auto& c : cases) {
    auto item = MakeText(QStringLiteral("abc"), c.angle);
    zeph::DcRect box;
    ASSERT_EQ(item->GetTextDeviceBox(&m_window.dc, 200, 300, &m_window.mapping, box), 1) << c.name;
    EXPECT_EQ(box, (zeph::DcRect{200 + c.box.left, 300 + c.box.top, 200 + c.box.right,
                                 300 + c.box.bottom}))
        << c.name;
    zeph::DcPoint corners[4];
    ASSERT_EQ(item->GetTextDeviceCorners(&m_window.dc, 200, 300, &m_window.mapping, corners), 1);
    for (const zeph::DcPoint& p : corners) {
      EXPECT_TRUE(p.x >= box.left && p.x <= box.right && p.y >= box.top && p.y <= box.bottom)
          << c.name;
    }
    EXPECT_EQ(corners[0], (zeph::DcPoint{200, 300})) << c.name;
  }
  // Too small to measure: the box is left alone.
  auto tiny = MakeText(QStringLiteral("abc"));
  const CViewMapping far = MakeMapping(100000);
  zeph::DcRect untouched{1, 2, 3, 4};
  EXPECT_EQ(tiny->GetTextDeviceBox(&m_window.dc, 0, 0, &far, untouched), 0);
  EXPECT_EQ(untouched, (zeph::DcRect{1, 2, 3, 4}));
}

TEST_F(TextItemTest, TheBoxFollowsTheTextAndTheZoom) {
  auto item = MakeText(QStringLiteral("abc"));
  zeph::DcRect box;
  item->GetTextDeviceBox(&m_window.dc, 0, 0, &m_window.mapping, box);
  EXPECT_EQ(box.right, 26);
  item->SetText(QStringLiteral("abcd"));
  item->GetTextDeviceBox(&m_window.dc, 0, 0, &m_window.mapping, box);
  EXPECT_EQ(box.right, 34);
  // Twice the drawing units per pixel: half the pixels.
  const CViewMapping coarser = MakeMapping(2 * kPointScale);
  item->GetTextDeviceBox(&m_window.dc, 0, 0, &coarser, box);
  EXPECT_EQ(box.right, 17);
  EXPECT_EQ(box.bottom, 11);
}

TEST_F(TextItemTest, PickDistanceAroundTheCentreLine) {
  auto item = MakeText(QStringLiteral("abc"));
  const int halfH = kLine / 2;
  const int width = 3 * kChar;
  const struct {
    const char* name;
    int x;
    int y;
    double distance;
  } cases[] = {
      {"on the centre line", width / 2, -halfH, 0.0},
      {"0.6 of half a line above", width / 2, -halfH + 1742, 1742 - 0.5 * halfH},
      {"0.6 of half a line below", width / 2, -halfH - 1742, 0.0},
      {"well below", width / 2, -halfH - 3000, 3000 - 0.7 * halfH},
      {"beyond the end", width + 300, -halfH + 400, 500.0},
      {"before the start", -300, -halfH - 400, 500.0},
  };
  for (const auto& c : cases) {
    g_cursorPoint = {c.x, c.y};
    EXPECT_NEAR(item->GetPickDistance(&m_window.mapping), c.distance, 1e-6) << c.name;
  }
  // The same along a turned text: a quarter turn puts the centre line to the right.
  auto turned = MakeText(QStringLiteral("abc"), 90.0);
  g_cursorPoint = {halfH, width / 2};
  EXPECT_NEAR(turned->GetPickDistance(&m_window.mapping), 0.0, 1e-6);
  EXPECT_EQ(m_view.borrowed, m_view.released);
  m_view.hasContext = false;
  EXPECT_EQ(turned->GetPickDistance(&m_window.mapping), kFarAway);
}

TEST_F(TextItemTest, BoundingBoxOfTheTurnedText) {
  const struct {
    const char* name;
    double angle;
    ItemBounds bounds;
  } cases[] = {
      {"level", 0.0, {1000, 2000 - kLine, 1000 + 3 * kChar, 2000}},
      {"a quarter turn", 90.0, {1000, 2000, 1000 + kLine, 2000 + 3 * kChar}},
      {"upside down", 180.0, {1000 - 3 * kChar, 2000, 1000, 2000 + kLine}},
  };
  for (const auto& c : cases) {
    auto item = MakeText(QStringLiteral("abc"), c.angle, 1000, 2000);
    item->CalcBoundingBox(&m_window.mapping);
    EXPECT_EQ(g_itemBounds.minX, c.bounds.minX) << c.name;
    EXPECT_EQ(g_itemBounds.minY, c.bounds.minY) << c.name;
    EXPECT_EQ(g_itemBounds.maxX, c.bounds.maxX) << c.name;
    EXPECT_EQ(g_itemBounds.maxY, c.bounds.maxY) << c.name;
  }
}

TEST_F(TextItemTest, CharacterUnderTheCursor) {
  const struct {
    const char* name;
    double angle;
    int along;
    int down;
    int index;
  } cases[] = {
      {"a quarter into the second character", 0.0, kChar + 500, 1000, 1},
      {"the middle of the second character", 0.0, kChar + kChar / 2, 1000, 1},
      {"three quarters into it", 0.0, kChar + 1600, 1000, 2},
      {"the start", 0.0, 0, 1000, 0},
      {"the end", 0.0, 3 * kChar, 1000, 3},
      {"just above the top", 0.0, kChar, -100, -1},
      {"below the line", 0.0, kChar, kLine + 100, -1},
      {"before the start", 0.0, -100, 1000, -1},
      {"past the end", 0.0, 3 * kChar + 100, 1000, -1},
      {"along a turned text", 90.0, kChar + 1600, 1000, 2},
  };
  for (const auto& c : cases) {
    auto item = MakeText(QStringLiteral("abc"), c.angle);
    const double a = c.angle * g_radiansPerDegree;
    // Along the base line, then down the text.
    g_cursorPoint = {static_cast<int>(std::lround(c.along * std::cos(a) + c.down * std::sin(a))),
                     static_cast<int>(std::lround(c.along * std::sin(a) - c.down * std::cos(a)))};
    EXPECT_EQ(item->GetCharIndexAtCursor(&m_window.mapping), c.index) << c.name;
  }
}

// ---- Drawing ----

TEST_F(TextItemTest, ScreenHeightFollowsTheZoom) {
  const struct {
    const char* name;
    int scale;
    bool drawn;
  } cases[] = {
      {"10 points at 1000 units a pixel: 2 pixels", 1000, true},
      {"at 1400: 1 pixel, left out", 1400, false},
  };
  for (const auto& c : cases) {
    auto item = MakeText(QStringLiteral("abc"));
    CFontSpec ten;
    ten.Set(QStringLiteral("Arial"), 10, false, false);
    item->SetFont(ten);
    CRecordingContext dc;
    const CViewMapping mapping = MakeMapping(c.scale);
    item->Draw(&dc, &mapping, kDrawOwnColour, 0);
    EXPECT_EQ(CallsOf(dc, DcOp::kTextOut).size(), c.drawn ? 1u : 0u) << c.name;
  }
}

TEST_F(TextItemTest, DrawnTurnedInItsColourAndFont) {
  auto item = MakeText(QStringLiteral("abc"), 30.0, kPointScale * 10, -kPointScale * 20);
  CRecordingContext dc;
  const zeph::DcFont before = dc.GetFont();
  const CViewMapping mapping = MakeMapping(kPointScale, 100, 100);
  item->Draw(&dc, &mapping, kDrawOwnColour, 0);
  const auto texts = CallsOf(dc, DcOp::kTextOut);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].points[0], (zeph::DcPoint{110, 120}));
  EXPECT_EQ(texts[0].text, QStringLiteral("abc"));
  EXPECT_EQ(texts[0].textColour, 0x0000FFu);
  EXPECT_EQ(texts[0].bkMode, zeph::BkMode::kTransparent);
  EXPECT_EQ(texts[0].font.escapement, 300);
  EXPECT_EQ(texts[0].font.height, 16);  // 12 points at 264 units a pixel
  // The context's font is put back.
  EXPECT_EQ(dc.GetFont(), before);

  dc.Clear();
  item->Draw(&dc, &mapping, kDrawHighlight, 0);
  EXPECT_EQ(CallsOf(dc, DcOp::kTextOut).at(0).textColour, g_highlightColour);
}

TEST_F(TextItemTest, PrintedAtTheDocumentsPrintingScale) {
  const struct {
    const char* name;
    bool document;
    double printing;
    double automatic;
    int colourBits;
    int height;  // the printed font's size in points; 0: not printed
    int glitch;
  } cases[] = {
      {"printing scale", true, 3.0, 7.0, 32, 4, 0},
      {"automatic scale", true, 0.0, 2.0, 32, 6, 0},
      {"below 4 units", true, 0.0, 4.0, 32, 0, 0},
      {"no automatic scale either", true, 0.0, 0.0, 32, 12, 0},
      {"without a document", false, 0.0, 0.0, 32, 12, 1784},
      {"a printer without colour", true, 1.0, 1.0, 1, 12, 0},
  };
  for (const auto& c : cases) {
    ResetLogState();
    auto item = MakeText(QStringLiteral("abc"));
    m_document.printingScale = c.printing;
    m_document.automaticPrintScale = c.automatic;
    if (c.document) item->SetDocument(&m_document);
    CRecordingContext printer;
    printer.SetPrinting(true);
    zeph::DeviceCaps caps;
    caps.dpiX = caps.dpiY = 72;  // a point is a printer unit
    caps.colourBits = c.colourBits;
    printer.SetDeviceCaps(caps);
    CViewMapping mapping;
    mapping.printScaleX = mapping.printScaleY = 100.0;
    item->Draw(&printer, &mapping, kDrawOwnColour, 0);
    const auto texts = CallsOf(printer, DcOp::kTextOut);
    if (c.height == 0) {
      EXPECT_TRUE(texts.empty()) << c.name;
    } else {
      ASSERT_EQ(texts.size(), 1u) << c.name;
      EXPECT_EQ(texts[0].font.height, c.height) << c.name;
      EXPECT_EQ(texts[0].textColour, c.colourBits == 1 ? g_colourTable[0] : 0x0000FFu) << c.name;
    }
    if (c.glitch != 0) {
      ExpectGlitch(c.glitch, 1, c.name);
    } else {
      EXPECT_EQ(g_glitchCount, 0) << c.name;
    }
  }
}

TEST_F(TextItemTest, DraggingSavesTheScreenAndPutsItBack) {
  auto item = MakeText(QStringLiteral("abc"));
  CRecordingContext& dc = m_window.dc;
  const CViewMapping& mapping = m_window.mapping;
  item->Draw(&dc, &mapping, kDrawXor, 0);
  ASSERT_EQ(CallsOf(dc, DcOp::kSaveBits).size(), 1u);
  // The box's corners inside: 27 by 23 pixels from the anchor.
  EXPECT_EQ(CallsOf(dc, DcOp::kCreateSavedBits).at(0).description,
            QStringLiteral("CreateSavedBits 27 23"));
  auto texts = CallsOf(dc, DcOp::kTextOut);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].textColour, 0x0000FFu);  // its own colour, not exclusive or

  dc.Clear();
  item->Draw(&dc, &mapping, kDrawXor, 0);  // the same place: the screen goes back
  EXPECT_EQ(CallsOf(dc, DcOp::kRestoreBits).size(), 1u);
  EXPECT_TRUE(CallsOf(dc, DcOp::kTextOut).empty());

  // Moved: saved again at the new place.
  item->MoveBy(kPointScale * 5, 0);
  dc.Clear();
  item->Draw(&dc, &mapping, kDrawXor, 0);
  EXPECT_EQ(CallsOf(dc, DcOp::kSaveBits).size(), 1u);
  EXPECT_EQ(g_glitchCount, 0);

  // A failed save falls back to exclusive or.
  auto other = MakeText(QStringLiteral("abc"));
  dc.Clear();
  dc.SetFailing(DcOp::kSaveBits, true);
  other->Draw(&dc, &mapping, kDrawXor, 0);
  ExpectGlitch(2001, 4);
  texts = CallsOf(dc, DcOp::kTextOut);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].textColour, static_cast<zeph::ColourRef>(0x0000FF ^ g_backgroundColour));
}

TEST_F(TextItemTest, EraseTextBoxFillsTheTurnedBox) {
  auto item = MakeText(QStringLiteral("abc"), 90.0);
  CRecordingContext& dc = m_window.dc;
  item->EraseTextBox(&dc, &m_window.mapping);
  const auto polygons = CallsOf(dc, DcOp::kPolygon);
  ASSERT_EQ(polygons.size(), 1u);
  const std::vector<zeph::DcPoint> expected = {{100, 100}, {100, 74}, {122, 74}, {122, 100}};
  EXPECT_EQ(polygons[0].points, expected);
  EXPECT_EQ(polygons[0].brush.colour, g_backgroundColour);
}

}  // namespace
