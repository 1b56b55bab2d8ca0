#include "platform/sdl/ui_message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/vk_keys.h"

namespace kest {
namespace {

using R = TUiResult;

TUiMessageBox Box(TUiButtons buttons, bool japanese = true, std::shared_ptr<TUiFont> font = nullptr) {
  auto box = TUiMessageBox::Standard(std::move(font), "demo", "text", TUiIcon::Question, buttons, japanese);
  box.Layout(640, 480);
  return box;
}

R AnswerTo(TUiButtons buttons, std::vector<int> keys, bool japanese = true) {
  auto box = Box(buttons, japanese);
  for (int k : keys) box.OnKeyDown(k);
  return box.Result().value_or(R::None);
}

bool Inside(const TUiRect& inner, const TUiRect& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
         inner.y + inner.h <= outer.y + outer.h;
}

TEST(UiMessageBox, StandardSetsHaveTheirButtonsInOrder) {
  auto five = TUiMessageBox::StandardButtons(TUiButtons::YesNoCancelNoAllYesAll, true);
  ASSERT_EQ(five.size(), 5u);
  EXPECT_EQ(five[0].caption, "はい(&Y)");
  EXPECT_EQ(five[3].caption, "すべていいえ");
  std::vector<R> results;
  for (const auto& b : five) results.push_back(b.result);
  EXPECT_EQ(results, (std::vector<R>{R::Yes, R::No, R::Cancel, R::NoToAll, R::YesToAll}));
  auto english = TUiMessageBox::StandardButtons(TUiButtons::OkCancel, false);
  ASSERT_EQ(english.size(), 2u);
  EXPECT_EQ(english[1].caption, "Cancel");
  EXPECT_EQ(TUiMessageBox::StandardButtons(TUiButtons::YesNoCancel, false).size(), 3u);
}

TEST(UiMessageBox, EscapeAnswersCancelOrNoOrTheLoneOk) {
  EXPECT_EQ(AnswerTo(TUiButtons::Ok, {vk::kEscape}), R::Ok);
  EXPECT_EQ(AnswerTo(TUiButtons::OkCancel, {vk::kEscape}), R::Cancel);
  EXPECT_EQ(AnswerTo(TUiButtons::YesNo, {vk::kEscape}), R::No);
  EXPECT_EQ(AnswerTo(TUiButtons::YesNoCancel, {vk::kEscape}), R::Cancel);
  EXPECT_EQ(AnswerTo(TUiButtons::YesNoCancelNoAllYesAll, {vk::kEscape}), R::Cancel);
  TUiMessageBox custom(nullptr, "c", "t", TUiIcon::None, {{"A", R::Yes}, {"B", R::No}}, 0, R::None);
  EXPECT_FALSE(custom.OnKeyDown(vk::kEscape));
  EXPECT_FALSE(custom.Result().has_value());
}

TEST(UiMessageBox, FocusMovesWithArrowsAndTabAndEnterOrSpacePressesIt) {
  EXPECT_EQ(AnswerTo(TUiButtons::YesNo, {vk::kReturn}), R::Yes);
  EXPECT_EQ(AnswerTo(TUiButtons::YesNo, {vk::kRight, vk::kReturn}), R::No);
  EXPECT_EQ(AnswerTo(TUiButtons::YesNo, {vk::kRight, vk::kRight, vk::kSpace}), R::Yes);  // wraps
  EXPECT_EQ(AnswerTo(TUiButtons::YesNoCancel, {vk::kLeft, vk::kReturn}), R::Cancel);
  EXPECT_EQ(AnswerTo(TUiButtons::YesNoCancelNoAllYesAll, {vk::kTab, vk::kTab, vk::kTab, vk::kReturn}), R::NoToAll);
  EXPECT_EQ(AnswerTo(TUiButtons::OkCancel, {vk::kDown, vk::kUp, vk::kSpace}), R::Ok);
  auto box = Box(TUiButtons::YesNoCancel);
  box.OnKeyDown(vk::kTab, true);
  EXPECT_EQ(box.Focus(), 2);
}

TEST(UiMessageBox, AccessKeysAnswerInBothLanguages) {
  EXPECT_EQ(AnswerTo(TUiButtons::YesNo, {'N'}), R::No);
  EXPECT_EQ(AnswerTo(TUiButtons::YesNoCancel, {'Y'}), R::Yes);
  EXPECT_EQ(AnswerTo(TUiButtons::YesNo, {'N'}, false), R::No);
  EXPECT_EQ(AnswerTo(TUiButtons::YesNoCancelNoAllYesAll, {'Y'}, false), R::Yes);
  EXPECT_EQ(AnswerTo(TUiButtons::Ok, {'Y', 'N', 'A'}), R::None);
  // The first answer stands; later keys are ignored.
  EXPECT_EQ(AnswerTo(TUiButtons::YesNo, {'N', 'Y', vk::kReturn}), R::No);
  TUiMessageBox amp(nullptr, "c", "t", TUiIcon::None, {{"R&&D", R::Yes}, {"&Skip", R::No}}, 0, R::None);
  EXPECT_FALSE(amp.OnKeyDown('D'));
  EXPECT_TRUE(amp.OnKeyDown('S'));
  EXPECT_EQ(amp.Result(), R::No);
}

TEST(UiMessageBox, MouseAnswersOnPressAndReleaseOverOneButton) {
  auto box = Box(TUiButtons::YesNoCancel);
  TUiRect yes = box.ButtonRect(0), no = box.ButtonRect(1);
  box.OnMouseDown(yes.x + 1, yes.y + 1);
  box.OnMouseUp(no.x + 1, no.y + 1);
  EXPECT_FALSE(box.Result().has_value());
  box.OnMouseDown(box.Rect().x + 2, box.Rect().y + 2);  // on the caption bar
  box.OnMouseUp(no.x + 1, no.y + 1);
  EXPECT_FALSE(box.Result().has_value());
  box.OnMouseDown(no.x + no.w - 1, no.y + no.h - 1);
  EXPECT_EQ(box.Focus(), 1);
  box.OnMouseUp(no.x, no.y);
  EXPECT_EQ(box.Result(), R::No);
}

TEST(UiMessageBox, LayoutStaysInsideAnyArea) {
  const std::string long_text(3000, 'W');
  for (int w : {0, 1, 7, 30, 100, 179, 200, 400, 640, 2000}) {
    for (int h : {0, 1, 10, 40, 100, 480}) {
      for (const std::string& text : {std::string("短い"), long_text}) {
        auto box =
            TUiMessageBox::Standard(nullptr, "c", text, TUiIcon::Warning, TUiButtons::YesNoCancelNoAllYesAll, true);
        TUiRect area{13, -7, w, h};
        box.Layout(area);
        const TUiRect& r = box.Rect();
        ASSERT_GE(r.w, 0);
        ASSERT_GE(r.h, 0);
        ASSERT_TRUE(Inside(r, area)) << w << "x" << h;
        ASSERT_TRUE(box.ShadowRect().Empty() || Inside(box.ShadowRect(), area));
        for (int i = 0; i < box.ButtonCount(); ++i) {
          TUiRect b = box.ButtonRect(i);
          ASSERT_GE(b.w, 0);
          ASSERT_GE(b.h, 0);
          if (!b.Empty()) {
            ASSERT_TRUE(Inside(b, r)) << w << "x" << h << " button " << i;
          }
        }
      }
    }
  }
}

TEST(UiMessageBox, BoxIsCentredAndButtonsDoNotOverlap) {
  auto box = Box(TUiButtons::YesNoCancelNoAllYesAll);
  const TUiRect& r = box.Rect();
  EXPECT_EQ(r.x, (640 - r.w) / 2);
  EXPECT_EQ(r.y, (480 - r.h) / 2);
  for (int i = 1; i < box.ButtonCount(); ++i)
    EXPECT_LT(box.ButtonRect(i - 1).x + box.ButtonRect(i - 1).w, box.ButtonRect(i).x);
}

TEST(UiMessageBox, TextSplitsAtLineBreaksAndWrapsLongLines) {
  TUiMessageBox breaks(nullptr, "c", "a\r\nb\nc\rd", TUiIcon::None, {}, 0, R::Ok);
  breaks.Layout(640, 480);
  EXPECT_EQ(breaks.Lines(), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(breaks.ButtonCount(), 1);  // an empty set gets an OK button

  std::string japanese;
  for (int i = 0; i < 120; ++i) japanese += "あ";
  TUiMessageBox wrapped(nullptr, "c", japanese, TUiIcon::None, {}, 0, R::Ok);
  wrapped.Layout(640, 480);
  ASSERT_GT(wrapped.Lines().size(), 1u);
  std::string joined;
  for (const std::string& line : wrapped.Lines()) {
    EXPECT_FALSE(line.empty());
    EXPECT_EQ(line.size() % 3, 0u);  // never cut inside a character
    joined += line;
  }
  EXPECT_EQ(joined, japanese);

  TUiMessageBox words(nullptr, "c", std::string(60, 'x') + " " + std::string(60, 'y'), TUiIcon::None, {}, 0, R::Ok);
  words.Layout(500, 480);
  ASSERT_EQ(words.Lines().size(), 2u);
  EXPECT_EQ(words.Lines()[0], std::string(60, 'x'));
}

TEST(UiMessageBox, PaintChangesOnlyTheBoxAndItsShadow) {
  auto font = std::shared_ptr<TUiFont>(TUiFont::Open("IPAGothic", 12));
  ASSERT_NE(font, nullptr);
  for (TUiIcon icon : {TUiIcon::None, TUiIcon::Information, TUiIcon::Warning, TUiIcon::Error, TUiIcon::Question}) {
    auto box = TUiMessageBox::Standard(font, "デモ", "「デモ」を終了しますか？", icon, TUiButtons::YesNo, true);
    TUiBitmap b(640, 480, 0x123456);
    TUiCanvas c = b.Canvas();
    box.Layout(640, 480);
    box.Paint(c);
    EXPECT_FALSE(box.NeedsRepaint());
    int changed_inside = 0;
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) {
        bool in_box = box.Rect().Contains(x, y), in_shadow = box.ShadowRect().Contains(x, y);
        if (!in_box && !in_shadow) {
          ASSERT_EQ(b.At(x, y), 0x123456u) << x << "," << y;
        }
        changed_inside += in_box && b.At(x, y) != 0x123456u;
      }
    }
    EXPECT_GT(changed_inside, box.Rect().w * box.Rect().h / 2);
  }
}

TEST(UiMessageBox, GarbageUtf8IsLaidOutAndPaintedSafely) {
  auto font = std::shared_ptr<TUiFont>(TUiFont::Open("IPAGothic", 12));
  std::string garbage;
  uint32_t seed = 99;
  for (int i = 0; i < 3000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    garbage += static_cast<char>(seed >> 24);
  }
  for (auto f : {font, std::shared_ptr<TUiFont>()}) {
    TUiMessageBox box(f, garbage, garbage, TUiIcon::Error, {{garbage, R::Yes}, {"&", R::No}, {"\xE3&", R::Ok}}, 7,
                      R::No);
    TUiBitmap b(320, 200);
    TUiCanvas c = b.Canvas();
    box.Layout(320, 200);
    box.Paint(c);
    box.Layout(TUiRect{-50, -50, 10, 10});
    box.Paint(c);
    EXPECT_EQ(box.Focus(), 0);  // an out-of-range default falls back to the first button
    EXPECT_TRUE(box.OnKeyDown(vk::kEscape));
    EXPECT_EQ(box.Result(), R::No);
  }
}

}  // namespace
}  // namespace kest
