#pragma once
// A system variable: a value read from and written to the running player
// rather than held. @Result and @Temp stand for another value and forward
// every operation to it; the rest answer from the store, the shared clocks or
// the hosts, converting from their native type, and ignore writes when they
// are read-only. The key tables and the two name lists answer per element;
// every other one is a scalar whatever index is asked.

#include <cstdint>
#include <string>
#include <string_view>

#include "language/forwarding_param.h"
#include "language/system_variables.h"

namespace kest {

class TParamCollection;

// One value of a system variable in its native type.
struct TSysValue {
  uint8_t Type = PT_INT;
  int32_t Int = 0;  // also the flag, 0 or 1
  long double Float = 0;
  std::string Str;

  static TSysValue OfInt(int32_t v) { return {PT_INT, v, 0, {}}; }
  static TSysValue OfFloat(long double x) { return {PT_FLOAT, 0, x, {}}; }
  static TSysValue OfFlag(bool b) { return {PT_BOOL, b ? 1 : 0, 0, {}}; }
  static TSysValue OfStr(std::string s) { return {PT_STR, 0, 0, std::move(s)}; }

  int32_t AsInt() const;
  long double AsFloat() const;
  bool AsFlag() const;
  std::string AsStr() const;
};

class TParamSystem : public TForwardingParam {
 public:
  TParamSystem(TParamCollection* store, uint8_t sysId) : FStore(store), FSysId(sysId) {}

  uint8_t SysId() const { return FSysId; }

  int32_t Count() const override;
  void SetCount(int32_t n) override;
  uint8_t ParamType() const override;

  bool GetAsFlag() const override;
  long double GetAsFloat() const override;
  int32_t GetAsInt() const override;
  std::string GetAsStr() const override;
  void SetAsFlag(bool b) override;
  void SetAsFloat(long double x) override;
  void SetAsInt(int32_t v) override;
  // A flag variable takes any text whose integer value is not 0 as true.
  void SetAsStr(std::string_view s) override;

  int32_t GetInt(int32_t i) const override;
  void SetInt(int32_t i, int32_t v) override;
  long double GetFloat(int32_t i) const override;
  void SetFloat(int32_t i, long double x) override;
  bool GetFlag(int32_t i) const override;
  void SetFlag(int32_t i, bool b) override;
  std::string GetStr(int32_t i) const override;
  // A flag variable takes "TRUE" only, as element writes do everywhere.
  void SetStr(int32_t i, std::string_view s) override;

  int32_t DimCount() const override;
  int32_t GetDim(int32_t index) const override;
  void AssignRaw(const TCustomParam& other) override;
  void SetDims(std::span<const int32_t> sizes) override;
  void FillInt(int32_t v) override;
  void FillFloat(long double x) override;
  void FillFlag(bool b) override;
  void FillStr(std::string_view s) override;
  void CopyMem(const TCustomParam& other) override;
  // A snapshot in the native type (what PushVar keeps), or the forwarded
  // value's own stream.
  void SaveToStream(TStream& stream) const override;
  // Reads a native-typed value and writes it back through the setters, so a
  // read-only variable keeps its value.
  void LoadFromStream(TStream& stream) override;
  void MakeScalar() override;
  int32_t IndexOfStr(std::string_view s, bool caseSensitive, bool partial) const override;
  bool IsDimensionless() const override;

 private:
  bool Forwards() const { return FSysId == SV_RESULT || FSysId == SV_TEMP; }
  // What @Result or @Temp stands for now, or nothing.
  TCustomParam* ForwardTarget() const override;

  const TSysVarInfo& Info() const;
  bool IsList() const;
  TSysValue ReadScalar() const;
  TSysValue ReadElement(int32_t i) const;
  TSysValue ReadKey(int32_t i) const;
  std::string FontList(bool fixedPitch) const;
  // Converts to the native type and hands the value to its owner; a flag
  // given as text takes the integer rule when intRule is set.
  void Write(const TSysValue& v, bool intRule);
  void WriteNative(const TSysValue& native);

  TParamCollection* FStore;
  uint8_t FSysId;
};

}  // namespace kest
