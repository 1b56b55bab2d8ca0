// The windowed loop's boxes, on a window that answers them from a script.
#include "shell/main_loop.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "common/app_globals.h"
#include "platform/clock.h"
#include "platform/sdl/ui_message_box.h"
#include "platform/sdl/window_dialogs.h"
#include "platform/vk_keys.h"
#include "platform/window.h"
#include "shell/form_view.h"
#include "shell/loop_thread.h"
#include "shell/player_fakes.h"

namespace kest {
namespace {

using test::TFakeFactory;

// Waiting takes the whole time-out on the manual clock; before each wait the
// script may press keys in the box on top.
class TScriptedWindow final : public IWindow {
 public:
  explicit TScriptedWindow(TManualClock& clock) : clock_(clock) {}
  void SetTitle(const std::string&) override {}
  void SetLayout(const TWindowLayout& layout) override { layout_ = layout; }
  const TWindowLayout& Layout() const override { return layout_; }
  void Show() override {}
  void WaitEvents(uint32_t timeout_ms, std::vector<TInputEvent>&) override {
    if (++waits > 1000) throw std::runtime_error("the loop waits for ever");
    clock_.Advance(timeout_ms);
    if (!boxes.empty() && on_wait) on_wait(*boxes.back());
  }
  void PushModal(TUiMessageBox* box) override {
    boxes.push_back(box);
    deepest = std::max(deepest, boxes.size());
  }
  void PopModal() override { boxes.pop_back(); }
  void Present(const TPanelFrame&, const TPixelRect*, int) override {}
  void Refresh() override {}
  bool SetFullScreen(bool) override { return true; }
  bool IsFullScreen() const override { return false; }
  void SetIntegerScaling(bool) override {}
  void WarpMouse(int, int) override {}

  std::vector<TUiMessageBox*> boxes;
  size_t deepest = 0;
  int waits = 0;
  std::function<void(TUiMessageBox& top)> on_wait;

 private:
  TManualClock& clock_;
  TWindowLayout layout_;
};

class MainLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetAppGlobals();
    TFormViewServices s;
    s.Factory = &factory_;
    s.Dialogs = &dialogs_;
    s.Window = &window_;
    s.Loop = &loop_;
    s.Clock = &clock_;
    s.ProgramPath = "/nonexistent/kestplayer";
    s.JapaneseLocale = true;
    form_ = std::make_unique<TFormView>(s);
    main_loop_.SetForm(form_.get());
    form_->FormCreate();
    form_->HandleEvent({TInputEvent::TType::Activated});
  }
  void TearDown() override {
    form_.reset();
    ResetAppGlobals();
  }

  TFakeFactory factory_;
  TManualClock clock_{1000};
  TScriptedWindow window_{clock_};
  TLoopThread loop_;
  TMainLoop main_loop_{clock_, window_, loop_};
  TWindowDialogs dialogs_{window_, [this] { main_loop_.RunOnce(); }, true};
  std::unique_ptr<TFormView> form_;
};

TEST_F(MainLoopTest, ABoxFromATickStacksAboveTheExitQuestionAndBothAreAnswered) {
  std::optional<TUiResult> inner;
  factory_.project->on_tick = [&] {
    if (!inner) inner = dialogs_.MessageBox("読めません", "Demo", TUiIcon::Warning, TUiButtons::Ok);
  };
  window_.on_wait = [&](TUiMessageBox& top) {
    // The script's box is answered first, then the question below it.
    if (window_.boxes.size() == 2)
      top.OnKeyDown(vk::kReturn);
    else if (inner)
      top.OnKeyDown(vk::kEscape);
  };
  form_->btnExitClick();
  EXPECT_EQ(inner, TUiResult::Ok);
  EXPECT_EQ(window_.deepest, 2u);
  EXPECT_TRUE(window_.boxes.empty());
  EXPECT_FALSE(form_->CloseRequested());
  EXPECT_FALSE(AppTerminating);
}

TEST_F(MainLoopTest, ABoxRaisedWhileThePlayerClosesWaitsForItsAnswer) {
  std::optional<TUiResult> answer;
  factory_.project->on_free = [&] {
    answer = dialogs_.MessageBox("save.dat: cannot write", "KestPlayer", TUiIcon::Warning, TUiButtons::Ok);
  };
  window_.on_wait = [&](TUiMessageBox& top) { top.OnKeyDown(vk::kReturn); };
  form_->PostClose();
  form_->FormClose();
  EXPECT_EQ(answer, TUiResult::Ok);
  EXPECT_EQ(window_.deepest, 1u);
}

}  // namespace
}  // namespace kest
