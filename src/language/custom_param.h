#pragma once
// The typed value every command, expression and property passes: an integer,
// float, flag or string array of any number of dimensions, a scalar being one
// element. Every value reads and writes as any of the four types, converting.
// The base class answers like an empty scalar; the classes override what they
// hold.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/stream.h"
#include "language/param_types.h"

namespace kest {

class TCustomParam {
 public:
  TCustomParam() = default;
  TCustomParam(const TCustomParam&) = delete;
  TCustomParam& operator=(const TCustomParam&) = delete;
  virtual ~TCustomParam() = default;

  virtual int32_t Count() const { return 1; }
  virtual void SetCount(int32_t) {}
  virtual uint8_t ParamType() const { return PT_INT; }

  virtual bool GetAsFlag() const { return false; }
  virtual long double GetAsFloat() const { return 0; }
  virtual int32_t GetAsInt() const { return 0; }
  virtual std::string GetAsStr() const { return {}; }
  virtual void SetAsFlag(bool) {}
  virtual void SetAsFloat(long double) {}
  virtual void SetAsInt(int32_t) {}
  virtual void SetAsStr(std::string_view) {}

  virtual int32_t GetInt(int32_t) const { return 0; }
  virtual void SetInt(int32_t, int32_t) {}
  virtual long double GetFloat(int32_t) const { return 0; }
  virtual void SetFloat(int32_t, long double) {}
  virtual bool GetFlag(int32_t) const { return false; }
  virtual void SetFlag(int32_t, bool) {}
  virtual std::string GetStr(int32_t) const { return {}; }
  virtual void SetStr(int32_t, std::string_view) {}

  virtual int32_t DimCount() const;
  virtual int32_t GetDim(int32_t index) const;
  virtual void AssignRaw(const TCustomParam& other);
  // Refuses any size below 1, and arrays beyond kMaxParamElements, with the
  // store's element-count error.
  virtual void SetDims(std::span<const int32_t> sizes);
  virtual void FillInt(int32_t) {}
  virtual void FillFloat(long double) {}
  virtual void FillFlag(bool) {}
  virtual void FillStr(std::string_view) {}
  virtual void CopyMem(const TCustomParam& other);
  virtual void SaveToStream(TStream& stream) const;
  virtual void LoadFromStream(TStream& stream);
  virtual void MakeScalar() {}
  // The first index whose element, read as a string, matches s; -1 when none.
  virtual int32_t IndexOfStr(std::string_view s, bool caseSensitive, bool partial) const;

  // Takes other's shape and converts every element into this value's type.
  // A value without sizes (a scalar, a key table) stays without sizes rather
  // than becoming a one-dimensional array.
  void AssignConvert(const TCustomParam& other);
  // No sizes of its own: a scalar, or a flat list such as @ParamStr.
  virtual bool IsDimensionless() const { return FDims.empty(); }

  const std::vector<int32_t>& Dims() const { return FDims; }
  // The type code a stored record carries for this value: references are
  // written as PT_NONE whatever they point at.
  virtual uint8_t RecordType() const { return ParamType(); }

 protected:
  // Checks the sizes and answers their product (1 for none).
  static int32_t ElementCount(std::span<const int32_t> sizes);
  void SaveDims(TStream& stream) const;
  void LoadDims(TStream& stream);

  std::vector<int32_t> FDims;
};

using TParamPtr = std::unique_ptr<TCustomParam>;

// A new value from a type code taken modulo 128: 0 a reference (with no store
// to resolve against), 1..4 the typed classes, anything else nothing.
TParamPtr CreateParam(uint8_t code);

// Whether an element matches s under the rules of IndexOfStr.
bool StrMatches(std::string_view element, std::string_view s, bool caseSensitive, bool partial);

}  // namespace kest
