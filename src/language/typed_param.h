#pragma once
// The four typed values: TParamInt (32-bit integers), TParamFloat (80-bit
// extended floats), TParamFlag (bytes 0 or 1) and TParamStr (CP932 strings).
// One template holds them; each type's traits say how its element converts and
// how it is stored.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "language/custom_param.h"
#include "language/param_convert.h"

namespace kest {

struct TIntTraits {
  using TElem = int32_t;
  static constexpr uint8_t Code = PT_INT;
  static constexpr int64_t StoredBytes = 4;
  static int32_t ToInt(TElem v) { return v; }
  static long double ToFloat(TElem v) { return v; }
  static bool ToFlag(TElem v) { return v != 0; }
  static std::string ToStr(TElem v) { return IntToStr(v); }
  static TElem FromInt(int32_t v) { return v; }
  static TElem FromFloat(long double v) { return FloatToInt(v); }
  static TElem FromFlag(bool v) { return v ? 1 : 0; }
  static TElem FromStr(std::string_view s) { return StrToInt(s); }
  static void Write(TStream& stream, const TElem& v) { WriteInt(stream, v); }
  static TElem Read(TStream& stream) { return ReadInt(stream); }
};

struct TFloatTraits {
  using TElem = long double;
  static constexpr uint8_t Code = PT_FLOAT;
  static constexpr int64_t StoredBytes = 10;
  static int32_t ToInt(TElem v) { return FloatToInt(v); }
  static long double ToFloat(TElem v) { return v; }
  static bool ToFlag(TElem v) { return v != 0; }
  static std::string ToStr(TElem v) { return FloatToStr(v); }
  static TElem FromInt(int32_t v) { return v; }
  static TElem FromFloat(long double v) { return v; }
  static TElem FromFlag(bool v) { return v ? 1 : 0; }
  static TElem FromStr(std::string_view s) { return StrToFloat(s); }
  static void Write(TStream& stream, const TElem& v) { WriteExtended(stream, v); }
  static TElem Read(TStream& stream) { return ReadExtended(stream); }
};

struct TFlagTraits {
  using TElem = uint8_t;
  static constexpr uint8_t Code = PT_BOOL;
  static constexpr int64_t StoredBytes = 1;
  static int32_t ToInt(TElem v) { return v; }
  static long double ToFloat(TElem v) { return v; }
  static bool ToFlag(TElem v) { return v != 0; }
  static std::string ToStr(TElem v) { return FlagToStr(v != 0); }
  static TElem FromInt(int32_t v) { return v != 0; }
  static TElem FromFloat(long double v) { return v != 0; }
  static TElem FromFlag(bool v) { return v; }
  static TElem FromStr(std::string_view s) { return StrToFlag(s); }
  static void Write(TStream& stream, const TElem& v) { WriteByte(stream, v); }
  static TElem Read(TStream& stream) { return ReadFlag(stream); }
};

struct TStrTraits {
  using TElem = std::string;
  static constexpr uint8_t Code = PT_STR;
  static constexpr int64_t StoredBytes = 4;  // the length, at least
  static int32_t ToInt(const TElem& v) { return StrToInt(v); }
  static long double ToFloat(const TElem& v) { return StrToFloat(v); }
  static bool ToFlag(const TElem& v) { return StrToFlag(v); }
  static std::string ToStr(const TElem& v) { return v; }
  static TElem FromInt(int32_t v) { return IntToStr(v); }
  static TElem FromFloat(long double v) { return FloatToStr(v); }
  static TElem FromFlag(bool v) { return FlagToStr(v); }
  static TElem FromStr(std::string_view s) { return TElem(s); }
  static void Write(TStream& stream, const TElem& v) { WriteStr(stream, v); }
  static TElem Read(TStream& stream) { return ReadStr(stream); }
};

template <typename Traits>
class TTypedParam final : public TCustomParam {
 public:
  using TElem = typename Traits::TElem;

  TTypedParam() : FValues(1) {}

  int32_t Count() const override { return static_cast<int32_t>(FValues.size()); }
  // Refuses a negative count or one beyond kMaxParamElements.
  void SetCount(int32_t n) override;
  uint8_t ParamType() const override { return Traits::Code; }

  bool GetAsFlag() const override { return FValues.empty() ? false : Traits::ToFlag(FValues[0]); }
  long double GetAsFloat() const override { return FValues.empty() ? 0 : Traits::ToFloat(FValues[0]); }
  int32_t GetAsInt() const override { return FValues.empty() ? 0 : Traits::ToInt(FValues[0]); }
  std::string GetAsStr() const override;
  void SetAsFlag(bool b) override { SetScalar(Traits::FromFlag(b)); }
  void SetAsFloat(long double x) override { SetScalar(Traits::FromFloat(x)); }
  void SetAsInt(int32_t v) override { SetScalar(Traits::FromInt(v)); }
  void SetAsStr(std::string_view s) override { SetScalar(Traits::FromStr(s)); }

  int32_t GetInt(int32_t i) const override { return Traits::ToInt(At(i)); }
  void SetInt(int32_t i, int32_t v) override { At(i) = Traits::FromInt(v); }
  long double GetFloat(int32_t i) const override { return Traits::ToFloat(At(i)); }
  void SetFloat(int32_t i, long double x) override { At(i) = Traits::FromFloat(x); }
  bool GetFlag(int32_t i) const override { return Traits::ToFlag(At(i)); }
  void SetFlag(int32_t i, bool b) override { At(i) = Traits::FromFlag(b); }
  std::string GetStr(int32_t i) const override { return Traits::ToStr(At(i)); }
  void SetStr(int32_t i, std::string_view s) override { At(i) = Traits::FromStr(s); }

  void AssignRaw(const TCustomParam& other) override;
  void FillInt(int32_t v) override;
  void FillFloat(long double x) override;
  void FillFlag(bool b) override;
  void FillStr(std::string_view s) override;
  void CopyMem(const TCustomParam& other) override;
  void SaveToStream(TStream& stream) const override;
  void LoadFromStream(TStream& stream) override;
  void MakeScalar() override;
  int32_t IndexOfStr(std::string_view s, bool caseSensitive, bool partial) const override;

  // The elements in row-major order, for code that walks a whole array.
  const std::vector<TElem>& Values() const { return FValues; }

 private:
  // Raises the subscript error for an index outside 0..Count-1.
  const TElem& At(int32_t i) const;
  TElem& At(int32_t i);
  void SetScalar(TElem v);
  void Fill(const TElem& v);

  std::vector<TElem> FValues;
};

extern template class TTypedParam<TIntTraits>;
extern template class TTypedParam<TFloatTraits>;
extern template class TTypedParam<TFlagTraits>;
extern template class TTypedParam<TStrTraits>;

using TParamInt = TTypedParam<TIntTraits>;
using TParamFloat = TTypedParam<TFloatTraits>;
using TParamFlag = TTypedParam<TFlagTraits>;
using TParamStr = TTypedParam<TStrTraits>;

}  // namespace kest
