#include "script/page.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/app_globals.h"
#include "common/errors.h"
#include "common/sjis.h"
#include "language/param_collection.h"
#include "page_bytes.h"
#include "script/com_list.h"
#include "script/command.h"
#include "script/commands_flow.h"
#include "script/project_ui.h"
#include "script/script_test_util.h"

namespace kest {
namespace {

using namespace test;

// While a TAllocationWatch lives, a single allocation above its limit fails
// with bad_alloc instead of taking the memory, so a reader that sizes a buffer
// from an unchecked count fails the test without exhausting the machine.
std::atomic<size_t> gAllocationLimit{0};

class TAllocationWatch {
 public:
  explicit TAllocationWatch(size_t limit) { gAllocationLimit = limit; }
  ~TAllocationWatch() { gAllocationLimit = 0; }
};

// Loads and expects a read error without any allocation of a megabyte.
void ExpectBadCount(const TBytes& bytes, const std::string& what) {
  TPage page;
  TAllocationWatch watch(1 << 20);
  try {
    Load(page, bytes, "bad.ksb");
    ADD_FAILURE() << what << ": accepted";
  } catch (const EReadError& e) {
    EXPECT_EQ(std::string_view(e.what()).substr(0, 9), "bad.ksb: ") << what;
  } catch (const std::bad_alloc&) {
    ADD_FAILURE() << what << ": allocated a buffer for the count";
  }
  EXPECT_EQ(page.Commands().Count(), 0) << what;
}

TEST(PageCounts, MaskCountsBeyondTheBytesLeftAreReadErrors) {
  const int32_t huge = 0x7FFFFFFF;
  const std::pair<int32_t, int32_t> cases[] = {
      {-1, 21}, {61, -1}, {huge, 21}, {61, huge}, {1, huge}, {huge, 1}, {0x10000, 0x10000}, {100, 100},
  };
  for (const auto& [k, s] : cases) {
    TRecordBytes b = PageStart();
    b.Int(k).Int(s);
    for (int i = 0; i < 5000; ++i) b.Byte(0);
    ExpectBadCount(b.Bytes(), "K=" + std::to_string(k) + " S=" + std::to_string(s));
  }
}

TEST(PageCounts, CommandAndListCountsBeyondTheBytesLeftAreReadErrors) {
  for (int32_t n : {-1, 0x7FFFFFFF, 100}) {
    TRecordBytes b = PageStart();
    NoMasks(b);
    b.Int(n);
    LabelCommand(b, ciLabel, "one");
    ExpectBadCount(b.Bytes(), "N=" + std::to_string(n));
  }
  for (int32_t n : {-1, 0x7FFFFFFF, 0x40000000, 3}) {
    TRecordBytes b = PageStart();
    NoMasks(b);
    b.Int(1);
    Header(b, ciCall);
    b.Str("sub.ksb").Int(0).Str("");
    EmptyExpr(b);
    b.Int(n);
    EmptyExpr(b);
    EmptyExpr(b);
    ExpectBadCount(b.Bytes(), "args=" + std::to_string(n));
  }
  for (int32_t n : {-1, 0x7FFFFFFF, 64}) {
    TRecordBytes b = PageStart();
    NoMasks(b);
    b.Int(1);
    Header(b, ciTextIns);
    b.Int(n).Raw("text");
    for (int i = 0; i < 4; ++i) EmptyExpr(b);
    ExpectBadCount(b.Bytes(), "text size=" + std::to_string(n));
  }
}

TEST(PageCounts, EveryTruncationIsAReadErrorNamingThePage) {
  const TBytes whole = SamplePage();
  {
    TPage page;
    Load(page, whole, "cut.ksb");
    ASSERT_EQ(page.Commands().Count(), 6);
  }
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    const TBytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
    TPage page;
    try {
      Load(page, part, "cut.ksb");
      ADD_FAILURE() << "cut at " << cut << " was accepted";
    } catch (const EReadError& e) {
      ASSERT_EQ(std::string_view(e.what()).substr(0, 9), "cut.ksb: ") << cut;
    }
    ASSERT_EQ(page.Commands().Count(), 0) << cut;
  }
}

}  // namespace
}  // namespace kest

// The whole plain family is replaced, so that every pairing of new and delete
// meets the same allocator.
namespace {

void* Allocate(std::size_t size) {
  const size_t limit = kest::gAllocationLimit.load();
  if (limit != 0 && size > limit) return nullptr;
  return std::malloc(size ? size : 1);
}

void* AllocateOrThrow(std::size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
