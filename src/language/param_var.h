#pragma once
// A reference to one element of another variable, as an indexed operand of an
// expression makes it. Scalar operations act on that element; element and
// array operations act on the target as a whole. The target is held by a
// handle that empties when the variable is destroyed, so a reference never
// reaches freed memory: without a target it reads as nothing (Count 0), and
// with a target that has gone it reads as the empty value of the type the
// target had.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "language/forwarding_param.h"

namespace kest {

class TParamCollection;
class TParamCollectionItem;

class TParamVar : public TForwardingParam {
 public:
  // store may be nothing; such a reference never finds a target.
  explicit TParamVar(TParamCollection* store) : FStore(store) {}

  const std::string& TargetName() const { return FTargetName; }
  // The target variable, or nothing when none was found or it has gone.
  TParamCollectionItem* Target() const;
  int32_t ElementIndex() const { return FElementIndex; }

  // Points the reference at element (indices) of the variable name. Raises
  // name[...] "添え字が不正です" for a wrong number of indices (or no such
  // variable) and name[...] "要素数を超えています" for an offset at or beyond
  // the target's Count; a negative offset passes and fails on first access.
  void SetReference(std::string_view name, std::span<const int32_t> indices);
  // Finds the target again by TargetName; raises "\"%s\" 変数がありません".
  void Resolve();

  int32_t Count() const override;
  void SetCount(int32_t n) override;
  // The target's type; the last known one when it has gone; PT_NONE without.
  uint8_t ParamType() const override;
  uint8_t RecordType() const override { return PT_NONE; }

  bool GetAsFlag() const override;
  long double GetAsFloat() const override;
  int32_t GetAsInt() const override;
  std::string GetAsStr() const override;
  void SetAsFlag(bool b) override;
  void SetAsFloat(long double x) override;
  void SetAsInt(int32_t v) override;
  void SetAsStr(std::string_view s) override;

  int32_t GetInt(int32_t i) const override;
  void SetInt(int32_t i, int32_t v) override;
  long double GetFloat(int32_t i) const override;
  void SetFloat(int32_t i, long double x) override;
  bool GetFlag(int32_t i) const override;
  void SetFlag(int32_t i, bool b) override;
  std::string GetStr(int32_t i) const override;
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
  void SaveToStream(TStream& stream) const override;
  void LoadFromStream(TStream& stream) override;
  void MakeScalar() override;
  int32_t IndexOfStr(std::string_view s, bool caseSensitive, bool partial) const override;
  bool IsDimensionless() const override;

 private:
  void SetTarget(TParamCollectionItem* item);
  TCustomParam* ForwardTarget() const override;
  // What a string read gives when the target has gone.
  std::string EmptyStr() const;

  TParamCollection* FStore;
  std::string FTargetName;
  std::shared_ptr<TParamCollectionItem*> FTarget;
  uint8_t FTargetType = PT_NONE;
  uint8_t FReserved = 0;
  int32_t FElementIndex = 0;
};

}  // namespace kest
