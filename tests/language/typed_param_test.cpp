#include <gtest/gtest.h>

#include <vector>

#include "common/errors.h"
#include "common/sjis.h"
#include "language/typed_param.h"
#include "record_bytes.h"

namespace kest {
namespace {

using test::RecordBytes;

std::string Message(const std::exception& e) { return Cp932ToUtf8(e.what()); }

template <typename F>
std::string ErrorOf(F&& f) {
  try {
    f();
  } catch (const EKestError& e) {
    return Message(e);
  }
  return "(no error)";
}

std::vector<uint8_t> Saved(const TCustomParam& p) {
  TByteStream s;
  p.SaveToStream(s);
  return s.TakeBytes();
}

TEST(TypedParam, NewValuesAreEmptyScalars) {
  EXPECT_EQ(TParamInt().GetAsInt(), 0);
  EXPECT_EQ(TParamFloat().GetAsFloat(), 0.0L);
  EXPECT_FALSE(TParamFlag().GetAsFlag());
  EXPECT_EQ(TParamStr().GetAsStr(), "");
  TParamInt p;
  EXPECT_EQ(p.Count(), 1);
  EXPECT_EQ(p.DimCount(), 1);
  EXPECT_EQ(p.GetDim(0), 1);
  EXPECT_EQ(p.GetDim(7), 1);
}

TEST(TypedParam, FactoryTakesCodeModulo128) {
  EXPECT_EQ(CreateParam(1)->ParamType(), PT_INT);
  EXPECT_EQ(CreateParam(0x84)->ParamType(), PT_STR);
  EXPECT_EQ(CreateParam(0)->RecordType(), PT_NONE);
  EXPECT_EQ(CreateParam(5), nullptr);
  EXPECT_EQ(CreateParam(0x85), nullptr);
}

TEST(TypedParam, ArraysAreRowMajorAndKeepFlatOffsets) {
  TParamInt p;
  const int32_t dims[] = {3, 4};
  p.SetDims(dims);
  EXPECT_EQ(p.Count(), 12);
  EXPECT_EQ(p.DimCount(), 2);
  EXPECT_EQ(p.GetDim(1), 4);
  for (int32_t i = 0; i < 12; ++i) p.SetInt(i, i * 10);
  const int32_t wider[] = {4, 4};
  p.SetDims(wider);
  EXPECT_EQ(p.GetInt(6), 60);
  EXPECT_EQ(p.GetInt(15), 0);
}

TEST(TypedParam, ScalarAssignmentMakesArrayScalar) {
  TParamInt p;
  const int32_t dims[] = {3, 4};
  p.SetDims(dims);
  p.SetInt(0, 9);
  p.SetAsInt(5);
  EXPECT_TRUE(p.Dims().empty());
  EXPECT_EQ(p.Count(), 1);
  EXPECT_EQ(p.GetAsInt(), 5);
}

TEST(TypedParam, BadSizesAreRefused) {
  TParamInt p;
  const int32_t zero[] = {2, 0};
  EXPECT_EQ(ErrorOf([&] { p.SetDims(zero); }), "配列の要素数[2,0]が不正です");
  const int32_t negative[] = {-1};
  EXPECT_EQ(ErrorOf([&] { p.SetDims(negative); }), "配列の要素数[-1]が不正です");
  const int32_t enormous[] = {65536, 65536};
  EXPECT_EQ(ErrorOf([&] { p.SetDims(enormous); }), "配列の要素数[65536,65536]が不正です");
  EXPECT_EQ(ErrorOf([&] { p.SetCount(-3); }), "配列の要素数[-3]が不正です");
  EXPECT_EQ(p.Count(), 1);
}

TEST(TypedParam, ElementAccessIsBounded) {
  TParamStr p;
  const int32_t dims[] = {2};
  p.SetDims(dims);
  EXPECT_EQ(ErrorOf([&] { p.GetStr(2); }), "[2]:配列の添字が不正です");
  EXPECT_EQ(ErrorOf([&] { p.SetStr(-1, "x"); }), "[-1]:配列の添字が不正です");
}

TEST(TypedParam, FillsActOnlyOnTheirOwnType) {
  TParamFloat f;
  const int32_t dims[] = {3};
  f.SetDims(dims);
  f.FillInt(7);
  EXPECT_EQ(f.GetFloat(2), 0.0L);
  f.FillFloat(1.25L);
  EXPECT_EQ(f.GetFloat(2), 1.25L);
}

TEST(TypedParam, CopiesAndConversions) {
  TParamInt a;
  const int32_t dims[] = {2, 3};
  a.SetDims(dims);
  a.SetInt(5, 42);
  TParamInt raw;
  raw.AssignRaw(a);
  EXPECT_EQ(raw.Dims(), a.Dims());
  EXPECT_EQ(raw.GetInt(5), 42);
  TParamStr converted;
  converted.AssignConvert(a);
  EXPECT_EQ(converted.DimCount(), 2);
  EXPECT_EQ(converted.GetStr(5), "42");
  TParamStr scalar;
  scalar.AssignConvert(TParamInt());
  EXPECT_TRUE(scalar.Dims().empty());
  EXPECT_EQ(scalar.GetAsStr(), "0");
  TParamFlag other;
  other.CopyMem(a);
  EXPECT_EQ(other.Count(), 6);
  EXPECT_FALSE(other.GetFlag(5));
}

TEST(TypedParam, IndexOfStr) {
  TParamStr p;
  const int32_t dims[] = {3};
  p.SetDims(dims);
  p.SetStr(0, "Apple");
  p.SetStr(1, "banana");
  p.SetStr(2, "\x83\x61");  // its trail byte is a lower-case a
  EXPECT_EQ(p.IndexOfStr("apple", true, false), -1);
  EXPECT_EQ(p.IndexOfStr("apple", false, false), 0);
  EXPECT_EQ(p.IndexOfStr("NAN", false, true), 1);
  EXPECT_EQ(p.IndexOfStr("NAN", true, true), -1);
  EXPECT_EQ(p.IndexOfStr("\x83\x41", false, false), -1);
  TParamInt n;
  n.SetAsInt(31);
  EXPECT_EQ(n.IndexOfStr("31", true, false), 0);
}

// A 2x2 float array, laid out by hand: dimension count, sizes, element count,
// then 10-byte extended floats (1.5 and -2 shown; zeros are all-zero bytes).
TEST(TypedParam, FloatArrayStream) {
  TParamFloat p;
  const int32_t dims[] = {2, 2};
  p.SetDims(dims);
  p.SetFloat(0, 1.5L);
  p.SetFloat(3, -2.0L);
  RecordBytes want;
  want.Int(2).Int(2).Int(2).Int(4);
  want.Raw({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F});
  for (int k = 0; k < 2; ++k) want.Raw({0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  want.Raw({0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0});
  EXPECT_EQ(Saved(p), want.Bytes());
  TParamFloat back;
  TByteStream in(want.Bytes());
  back.LoadFromStream(in);
  EXPECT_EQ(back.GetFloat(3), -2.0L);
  EXPECT_EQ(back.GetDim(0), 2);
}

TEST(TypedParam, ScalarStreams) {
  TParamStr s;
  s.SetAsStr("ab");
  EXPECT_EQ(Saved(s), RecordBytes().ScalarStr("ab").Bytes());
  TParamFlag f;
  f.SetAsFlag(true);
  EXPECT_EQ(Saved(f), RecordBytes().Int(0).Int(1).Byte(1).Bytes());
}

TEST(TypedParam, DamagedStreamsAreRefused) {
  const std::vector<std::vector<uint8_t>> bad = {
      RecordBytes().Int(-1).Bytes(),                              // negative dimension count
      RecordBytes().Int(0x7FFFFFFF).Bytes(),                      // more sizes than bytes
      RecordBytes().Int(1).Int(0).Int(0).Bytes(),                 // a size of 0
      RecordBytes().Int(2).Int(65536).Int(65536).Int(0).Bytes(),  // too many elements
      RecordBytes().Int(1).Int(3).Int(2).Int(1).Int(2).Bytes(),   // count is not the product
      RecordBytes().Int(0).Int(0x7FFFFFFF).Bytes(),               // more elements than bytes
      RecordBytes().Int(0).Int(-5).Bytes(),                       // negative count
      RecordBytes().Int(0).Int(1).Raw({1, 2}).Bytes(),            // short element
  };
  for (const auto& bytes : bad) {
    TParamInt p;
    TByteStream in(bytes);
    EXPECT_THROW(p.LoadFromStream(in), EReadError);
  }
}

TEST(TypedParam, UnsizedValuesMayHoldManyElements) {
  TParamInt p;
  p.SetCount(3);
  p.SetInt(2, 8);
  TByteStream s;
  p.SaveToStream(s);
  s.Seek(0);
  TParamInt back;
  back.LoadFromStream(s);
  EXPECT_EQ(back.Count(), 3);
  EXPECT_EQ(back.GetInt(2), 8);
}

}  // namespace
}  // namespace kest
