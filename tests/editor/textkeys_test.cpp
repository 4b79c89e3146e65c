// Keys reach the text being typed or edited: characters, and Delete, Left, Right and F7 as
// key codes; every other key stays with the window's default handling. Enter commits a new
// text into the drawing; an empty one is dropped.
#include "editor_fixture.h"
#include "items/textitem.h"
#include "recording_view.h"

namespace zeph::testing {
namespace {

class TextKeysTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    ResetTextEditState();
    m_view.document = &m_doc;
    m_window->SetOwnerView(&m_view);
    m_window->AttachDrawing();
  }
  void TearDown() override {
    ResetTextEditState();
    EditorTest::TearDown();
  }
  void StartTyping() {
    DrawItemPtr text = CreateItem(kItemText);
    text->SetPosition(20 * Scale(), 40 * Scale());
    text->SetColour(static_cast<int>(kRed));
    text->BeginEdit(-1);
    m_window->SetConstructionItem(std::move(text));
    m_window->SetTextState(kTextTyping);
  }
  void Type(const char* characters) {
    for (const char* c = characters; *c != 0; ++c) m_window->OnChar(*c, 1, 0);
  }

  CRecordingView m_view;
};

TEST_F(TextKeysTest, TypedTextGoesIntoTheDrawingOnEnter) {
  StartTyping();
  Type("abc");
  EXPECT_EQ(m_window->TextKey(kEditKeyLeft, 1), 1);
  EXPECT_EQ(m_window->TextKey(kEditKeyDelete, 1), 1);
  m_window->OnChar(kEditCharEnter, 1, 0);
  EXPECT_EQ(m_window->GetTextState(), kTextNone);
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  EXPECT_EQ(m_doc.GetItem(0)->GetText(), QStringLiteral("ab"));
}

TEST_F(TextKeysTest, OnlyTheEditingKeysReachTheText) {
  StartTyping();
  Type("ab");
  m_window->OnKeyDown(0x25, 1, 0);  // Left
  m_window->OnKeyDown(0x26, 1, 0);  // Up: not for the text
  m_window->OnKeyDown(0x2E, 1, 0);  // Delete removes the "b" after the caret
  m_window->OnChar(kEditCharEnter, 1, 0);
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  EXPECT_EQ(m_doc.GetItem(0)->GetText(), QStringLiteral("a"));
}

TEST_F(TextKeysTest, EmptyOrCancelledTextIsDropped) {
  StartTyping();
  m_window->OnChar(kEditCharEnter, 1, 0);
  EXPECT_EQ(m_doc.GetItemCount(), 0);
  EXPECT_EQ(m_window->GetConstructionItem(), nullptr);
  StartTyping();
  Type("xy");
  m_window->OnChar(kEditCharEscape, 1, 0);
  EXPECT_EQ(m_doc.GetItemCount(), 0);
  EXPECT_EQ(m_window->GetTextState(), kTextNone);
}

TEST_F(TextKeysTest, CancellingCommitsTheTextBeingTyped) {
  StartTyping();
  Type("hello");
  m_window->CancelOperation();
  ASSERT_EQ(m_doc.GetItemCount(), 1);
  EXPECT_EQ(m_doc.GetItem(0)->GetText(), QStringLiteral("hello"));
}

TEST_F(TextKeysTest, WithoutATextNoKeyIsTaken) {
  EXPECT_EQ(m_window->TextKey('a', 0), 0);
  m_window->OnChar('a', 1, 0);
  EXPECT_EQ(m_doc.GetItemCount(), 0);
}

}  // namespace
}  // namespace zeph::testing
